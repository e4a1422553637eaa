// Job notifications reaching the real Orvix.exe (simulation build, whose trace file shows each
// decision): the job record on a named pipe served by the test, the hand-off of a pipe from a
// second instance, CD_JOB_INFO by operating system class, the end by WM_SM_KILL, malformed
// records, and the language monitor stand-in driving a running instance.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Pipe.h"
#include "protocol/Protocol.h"
#include "tests/wine/WineSupport.h"

namespace orvix::wine {
namespace {

constexpr auto kDeadline = std::chrono::seconds(30);

// Orvix in a scratch directory under its own window class, with a trace file.
class Installation {
public:
    explicit Installation(const std::string& baseName = "Orvix")
        : name(baseName), modelClass(UniqueName("OrvixJob")) {
        EXPECT_TRUE(CopyInto(SimBinDir() + "\\Orvix.exe", Exe()));
        EXPECT_TRUE(WriteFileBytes(
            dir / (name + ".dat"),
            "[Model]\r\nClass=" + modelClass + "\r\nCaption=Velmar Laser Z880k\r\n"));
    }
    std::string Exe() const { return dir / (name + ".exe"); }
    std::string Quoted() const { return "\"" + Exe() + "\""; }
    std::string Environment() const { return "ORVIX_TRACE_FILE=" + TracePath(); }
    std::string TracePath() const { return dir / "trace.txt"; }
    // The trace is written in text mode: its lines end in CR LF.
    std::string Trace() const {
        std::string text = ReadFileBytes(TracePath()).value_or("");
        std::erase(text, '\r');
        return text;
    }
    std::size_t Count(const std::string& line) const {
        const std::string text = Trace();
        std::size_t count = 0;
        for (std::size_t at = text.find(line); at != std::string::npos;
             at = text.find(line, at + line.size())) {
            ++count;
        }
        return count;
    }
    bool WaitForTrace(const std::string& line) const {
        return PumpUntil([&] { return Count(line) > 0; }, kDeadline);
    }
    HWND Window() const { return ::FindWindowA(modelClass.c_str(), modelClass.c_str()); }
    // A plain start: the hidden main window waits for notifications.
    std::unique_ptr<Process> StartPlain() const {
        auto process = std::make_unique<Process>(Exe(), Quoted() + " /x", Environment());
        EXPECT_NE(WaitForWindow(modelClass, kDeadline), nullptr);
        return process;
    }

    TempDir dir;
    std::string name;
    std::string modelClass;
};

// The server end of a job pipe, as Service creates it.
class PipeServer {
public:
    explicit PipeServer(const std::string& pipeName)
        : pipe(::CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, 0, 2,
                                  1024, 1024, 1000, nullptr)),
          connected(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        EXPECT_TRUE(pipe.Valid()) << pipeName;
        overlapped.hEvent = connected.Get();
        if (!::ConnectNamedPipe(pipe.Get(), &overlapped)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_PIPE_CONNECTED) {
                ::SetEvent(connected.Get());
            } else {
                pending = error == ERROR_IO_PENDING;
            }
        }
    }
    ~PipeServer() { Close(); }
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    bool Connected() const { return ::WaitForSingleObject(connected.Get(), 0) == WAIT_OBJECT_0; }
    bool WaitForClient(std::chrono::milliseconds deadline) const {
        return PumpUntil([&] { return Connected(); }, deadline);
    }
    bool Write(std::span<const std::uint8_t> bytes) {
        OVERLAPPED write{};
        win32::UniqueHandle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        write.hEvent = done.Get();
        if (!::WriteFile(pipe.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), nullptr,
                         &write) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        DWORD written = 0;
        return ::GetOverlappedResult(pipe.Get(), &write, &written, TRUE) && written == bytes.size();
    }
    // Closed without flushing or disconnecting, as Service does.
    void Close() {
        if (!pipe.Valid()) {
            return;
        }
        if (pending && !Connected()) {
            DWORD ignored = 0;
            ::CancelIo(pipe.Get());
            ::GetOverlappedResult(pipe.Get(), &overlapped, &ignored, TRUE);
        }
        pipe.Reset();
    }

private:
    win32::UniqueHandle pipe;
    win32::UniqueHandle connected;
    OVERLAPPED overlapped{};
    bool pending = false;
};

std::string PipeName() {
    return "\\\\.\\pipe\\" + UniqueName("OrvixTestJob");
}

LRESULT SendCopyData(HWND window, ULONG_PTR id, const void* bytes, std::size_t size) {
    COPYDATASTRUCT data{};
    data.dwData = id;
    data.cbData = static_cast<DWORD>(size);
    data.lpData = const_cast<void*>(bytes);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                          10000, &result);
    return static_cast<LRESULT>(result);
}

// Ends the instance the way other processes may, and checks that it went cleanly.
void Kill(const Installation& install, Process& process) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(install.Window(), WM_SM_KILL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    EXPECT_EQ(process.WaitForExit(kDeadline), std::optional<DWORD>(0));
}

const JobInfo kJob{"Velmar Laser MFP Z880k", "spare", "C:\\docs\\report.txt"};

struct PipeCase {
    std::size_t bytes;
    const char* fields;
};

class JobFormPipe : public ::testing::TestWithParam<PipeCase> {};

TEST_P(JobFormPipe, ReadsTheRecordAndAnnouncesOneJobStart) {
    Installation install;
    const std::string pipeName = PipeName();
    auto server = std::make_unique<PipeServer>(pipeName);
    Process orvix(install.Exe(), "/Orvix /" + pipeName, install.Environment());
    ASSERT_TRUE(orvix.Started());
    ASSERT_TRUE(server->WaitForClient(kDeadline));
    const JobInfoAnsiRecord record = BuildJobInfoAnsi(kJob);
    ASSERT_TRUE(server->Write(std::span(record).first(GetParam().bytes)));
    server->Close();

    ASSERT_TRUE(install.WaitForTrace(GetParam().fields)) << install.Trace();
    const std::string printer = std::string(kJob.printerName, 0, GetParam().bytes);
    ASSERT_TRUE(install.WaitForTrace("Job started: " + printer.substr(0, 124) + "\n"));

    // The pipe timer has stopped: a pipe of the same name is not opened again.
    PipeServer again(pipeName);
    EXPECT_FALSE(again.WaitForClient(std::chrono::milliseconds(600)));
    Kill(install, orvix);
    EXPECT_EQ(install.Count("Job started: "), 1u) << install.Trace();
}

INSTANTIATE_TEST_SUITE_P(
    Records, JobFormPipe,
    ::testing::Values(
        PipeCase{409,
                 "Job fields from pipe: [Velmar Laser MFP Z880k] [spare] [C:\\docs\\report.txt]"},
        PipeCase{10, "Job fields from pipe: [Velmar Las] [] []"}));

TEST(JobHandOff, RunningInstanceReadsTheHandedOverPipeAtOnce) {
    Installation install;
    auto first = install.StartPlain();
    const std::string pipeName = PipeName();
    PipeServer server(pipeName);

    Process second(install.Exe(), "/Orvix /" + pipeName, install.Environment());
    ASSERT_TRUE(second.Started());
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> exited;
    std::optional<Clock::time_point> connected;
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (!connected && server.Connected()) {
                connected = Clock::now();
            }
            if (!exited && !second.Running()) {
                exited = Clock::now();
            }
            return exited && connected;
        },
        kDeadline));
    EXPECT_EQ(second.WaitForExit(kDeadline), std::optional<DWORD>(0));
    const auto latency =
        std::chrono::duration_cast<std::chrono::milliseconds>(*connected - *exited).count();
    std::printf("pipe connect after the second instance's exit: %lld ms\n",
                static_cast<long long>(latency));
    RecordProperty("connect_after_exit_ms", static_cast<int>(latency));
    EXPECT_LE(latency, 300) << "the pipe timer runs every 100 ms";

    const JobInfoAnsiRecord record = BuildJobInfoAnsi(kJob);
    ASSERT_TRUE(server.Write(record));
    server.Close();
    ASSERT_TRUE(install.WaitForTrace("Job started: Velmar Laser MFP Z880k\n")) << install.Trace();
    EXPECT_TRUE(first->Running());
    Kill(install, *first);
    EXPECT_EQ(install.Count("Job started: "), 1u);
}

// Wine reports version 5.1 for an executable named under AppDefaults with Version "winxp".
class WindowsXpName {
public:
    explicit WindowsXpName(const std::string& exeName)
        : key("Software\\Wine\\AppDefaults\\" + exeName) {
        HKEY handle = nullptr;
        EXPECT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        static const char kVersion[] = "winxp";
        EXPECT_EQ(::RegSetValueExA(handle, "Version", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(kVersion), sizeof kVersion),
                  ERROR_SUCCESS);
        ::RegCloseKey(handle);
    }
    ~WindowsXpName() { ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }
    WindowsXpName(const WindowsXpName&) = delete;
    WindowsXpName& operator=(const WindowsXpName&) = delete;

private:
    std::string key;
};

std::string Ansi(const std::u16string& text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    char buffer[512] = {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), buffer,
                                             sizeof buffer, nullptr, nullptr);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

TEST(JobInfoByClass, Version6ReadsTheAnsiRecord) {
    Installation install;
    auto orvix = install.StartPlain();
    const JobInfoAnsiRecord ansi = BuildJobInfoAnsi(kJob);
    SendCopyData(install.Window(), CD_JOB_INFO, ansi.data(), ansi.size());
    ASSERT_TRUE(install.WaitForTrace("Job started: Velmar Laser MFP Z880k\n")) << install.Trace();
    EXPECT_EQ(install.Count("Job record of class 6\n"), 1u);
    EXPECT_EQ(install.Count("Job fields from copy data: [Velmar Laser MFP Z880k] [spare] "
                            "[C:\\docs\\report.txt]\n"),
              1u);

    // A UTF-16 record is read as ANSI here: each field ends after its first letter.
    const JobInfoWideRecord wide = BuildJobInfoWide(u"Velmar", u"spare", u"report.txt");
    SendCopyData(install.Window(), CD_JOB_INFO, wide.data(), wide.size());
    ASSERT_TRUE(install.WaitForTrace("Job started: V\n")) << install.Trace();
    EXPECT_EQ(install.Count("Job fields from copy data: [V] [] []\n"), 1u);
    Kill(install, *orvix);
    EXPECT_EQ(install.Count("Job started: "), 2u);
}

TEST(JobInfoByClass, WindowsXpReadsTheUtf16RecordAndConvertsIt) {
    const std::string name = UniqueName("OrvixXp");
    WindowsXpName xp(name + ".exe");
    Installation install(name);
    auto orvix = install.StartPlain();
    const std::u16string printer = u"Velmar Laser MFP Z880k";
    const std::u16string display = u"C:\\docs\\r\u00e9sum\u00e9.txt";
    const JobInfoWideRecord wide = BuildJobInfoWide(printer, u"spare", display);
    SendCopyData(install.Window(), CD_JOB_INFO, wide.data(), wide.size());
    ASSERT_TRUE(install.WaitForTrace("Job started: Velmar Laser MFP Z880k\n")) << install.Trace();
    EXPECT_EQ(install.Count("Job record of class 5\n"), 1u) << install.Trace();
    EXPECT_EQ(install.Count("Job fields from copy data: [Velmar Laser MFP Z880k] [spare] [" +
                            Ansi(display) + "]\n"),
              1u)
        << install.Trace();
    Kill(install, *orvix);
}

TEST(JobEnd, KillEndsWithExitCodeZeroAndLeavesNoWindow) {
    Installation install;
    // Toner mode: the supplies order window is shown as well.
    Process orvix(install.Exe(), install.Quoted(), install.Environment());
    ASSERT_NE(WaitForWindow(install.modelClass, kDeadline), nullptr);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(install.Window(), &processId);
    const auto windowsOfProcess = [processId] {
        int count = 0;
        for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            count += owner == processId;
        }
        return count;
    };
    EXPECT_GE(windowsOfProcess(), 2) << "main window and order window";
    Kill(install, orvix);
    EXPECT_EQ(install.Window(), nullptr);
    EXPECT_EQ(windowsOfProcess(), 0);
    EXPECT_EQ(install.Count("Enter OnSMExit\n"), 1u);
}

TEST(JobMalformed, BadRecordsLeaveTheProcessRunning) {
    Installation install;
    auto orvix = install.StartPlain();
    const HWND window = install.Window();
    const std::uint8_t bytes[10] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'};
    const std::string secret = install.dir / "secret.txt";
    ASSERT_TRUE(WriteFileBytes(secret, "not a job"));
    const auto fileHandoff = HandoffRecord::Make(secret, "Orvix");
    ASSERT_TRUE(fileHandoff.has_value());

    for (const std::size_t size : {0u, 3u, 10u}) {
        SendCopyData(window, CD_JOB_INFO, size == 0 ? nullptr : bytes, size);
        SendCopyData(window, CD_HANDOFF, size == 0 ? nullptr : bytes, size);
    }
    SendCopyData(window, 7, bytes, sizeof bytes);
    SendCopyData(window, CD_HANDOFF, fileHandoff->bytes.data(), fileHandoff->bytes.size());
    // Three job records, each announced; the 3-byte one cut to its length.
    ASSERT_TRUE(PumpUntil([&] { return install.Count("Job started: ") == 3; }, kDeadline))
        << install.Trace();
    EXPECT_EQ(install.Count("Job fields from copy data: [abc] [] []\n"), 1u) << install.Trace();
    EXPECT_EQ(install.Count("Job fields from copy data: [abcdefghij] [] []\n"), 1u);
    // The file and the short hand-offs ("abc", "abcdefghij") name no local pipe: nothing opened.
    EXPECT_EQ(install.Count("Hand-off refused: not a local pipe name\n"), 3u) << install.Trace();
    EXPECT_EQ(install.Count("Pipe read"), 0u);

    EXPECT_TRUE(orvix->Running());
    EXPECT_TRUE(::IsWindow(window));
    Kill(install, *orvix);
}

TEST(JobStandIn, DrivesARunningInstance) {
    Installation install;
    auto orvix = install.StartPlain();
    const std::string tool = BinDir() + "\\LmStandIn.exe";

    Process send(tool, "LmStandIn.exe " + install.modelClass +
                           " job-ansi \"Velmar Laser MFP Z880k\" spare C:\\docs\\report.txt");
    EXPECT_EQ(send.WaitForExit(kDeadline), std::optional<DWORD>(0));
    ASSERT_TRUE(install.WaitForTrace("Job started: Velmar Laser MFP Z880k\n")) << install.Trace();
    EXPECT_EQ(install.Count("Job fields from copy data: [Velmar Laser MFP Z880k] [spare] "
                            "[C:\\docs\\report.txt]\n"),
              1u);

    Process usage(tool, "LmStandIn.exe " + install.modelClass + " job-ansi");
    EXPECT_EQ(usage.WaitForExit(kDeadline), std::optional<DWORD>(2));
    Process missing(tool, "LmStandIn.exe NoSuchWindowClass_4711 kill");
    EXPECT_EQ(missing.WaitForExit(kDeadline), std::optional<DWORD>(1));

    Process kill(tool, "LmStandIn.exe " + install.modelClass + " kill");
    EXPECT_EQ(kill.WaitForExit(kDeadline), std::optional<DWORD>(0));
    EXPECT_EQ(orvix->WaitForExit(kDeadline), std::optional<DWORD>(0));
    EXPECT_EQ(install.Count("Job started: "), 1u);
}

// Each job start reads the printer: the simulated one, changed by the test between jobs.
TEST(JobStatus, EachJobStartReadsThePrinterAsItIsThen) {
    Installation install;
    const std::string state = install.dir / "printer.ini";
    const auto printer = [&](const char* present, const char* status) {
        ASSERT_TRUE(WriteFileBytes(state + ".new",
                                   std::string("[Printer]\r\nPresent=") + present +
                                       "\r\nDeviceId=MDL:Velmar Laser Z880k;\r\nStatus=" + status +
                                       "\r\n"));
        ASSERT_TRUE(
            ::MoveFileExA((state + ".new").c_str(), state.c_str(), MOVEFILE_REPLACE_EXISTING));
    };
    ASSERT_TRUE(WriteFileBytes(
        install.dir / "Orvix.dat",
        "[Model]\r\nClass=" + install.modelClass + "\r\n[DevMon]\r\nMDL=Velmar Laser Z880k\r\n"));
    printer("1", "01 01 04 00 00 3C 14 00");
    Process orvix(install.Exe(), install.Quoted() + " /x",
                  install.Environment() + "\nORVIX_SIM_STATE=" + state);
    ASSERT_NE(WaitForWindow(install.modelClass, kDeadline), nullptr);
    const JobInfoAnsiRecord job = BuildJobInfoAnsi(kJob);
    struct Step {
        const char* present;
        const char* status;
        const char* expected;
    } steps[] = {
        {"1", "01 01 04 00 00 3C 14 00", "key [SM_PRINTING], toner 60%"},
        {"1", "04 03 01 02 00 3C 14 00", "key [SM_PAPER_JAM0], toner 60%"},
        {"0", "04 03 01 02 00 3C 14 00", "key [SM_USB_CABLE_OFF], toner 0%"},
        {"1", "04 05 01 00 00 00 14 00", "key [SM_TONER_EMPTY], toner 0%"},
    };
    for (const Step& step : steps) {
        printer(step.present, step.status);
        SendCopyData(install.Window(), CD_JOB_INFO, job.data(), job.size());
        EXPECT_TRUE(install.WaitForTrace(step.expected)) << step.expected << "\n"
                                                         << install.Trace();
    }
    Kill(install, orvix);
}

// A second start in toner mode raises the minimized order window through the window adapter.
TEST(JobOrderWindow, SecondTonerStartRestoresAndRaisesTheOrderWindow) {
    Installation install;
    Process first(install.Exe(), install.Quoted(), install.Environment());
    ASSERT_NE(WaitForWindow(install.modelClass, kDeadline), nullptr);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(install.Window(), &processId);
    HWND order = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(w, &owner);
                if (owner == processId && ::IsWindowVisible(w)) {
                    order = w;
                    return true;
                }
            }
            return false;
        },
        kDeadline));
    ::ShowWindow(order, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(order) != FALSE; }, kDeadline));

    Process second(install.Exe(), install.Quoted(), install.Environment());
    EXPECT_EQ(second.WaitForExit(kDeadline), std::optional<DWORD>(0));
    EXPECT_TRUE(PumpUntil([&] { return ::IsIconic(order) == FALSE; }, kDeadline)) << "restored";
    EXPECT_TRUE(::IsWindowVisible(order));
    EXPECT_EQ(::GetForegroundWindow(), order) << install.Trace();
    // Not checked: Wine 8.0 leaves an owned window WS_EX_TOPMOST after HWND_NOTOPMOST (an
    // unowned one loses it), so the way back out of the topmost band is not observable here.
    Kill(install, first);
}

// The pipe adapter on its own: one open, one read of what the server wrote, a bounded wait.
class PipeClientAdapter : public ::testing::Test {
protected:
    std::string name = PipeName();
    std::array<std::uint8_t, 409> buffer{};
};

TEST_F(PipeClientAdapter, NoPipeDoesNotOpen) {
    win32::Win32PipeClient client;
    EXPECT_EQ(client.ReadOnce(name, buffer), std::nullopt);
}

TEST_F(PipeClientAdapter, ReadsWhatTheServerWrote) {
    for (const std::size_t size : {std::size_t{409}, std::size_t{10}, std::size_t{500}}) {
        PipeServer server(name);
        std::vector<std::uint8_t> sent(size);
        for (std::size_t i = 0; i < size; ++i) {
            sent[i] = static_cast<std::uint8_t>(i * 7 + 1);
        }
        std::thread serve([&] {
            if (server.WaitForClient(kDeadline)) {
                server.Write(sent);
                server.Close();
            }
        });
        buffer.fill(0);
        win32::Win32PipeClient client;
        const auto read = client.ReadOnce(name, buffer);
        serve.join();
        const std::size_t expected = std::min<std::size_t>(size, 409);
        ASSERT_EQ(read, std::optional<std::size_t>(expected)) << size;
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + expected, sent.begin())) << size;
    }
}

TEST_F(PipeClientAdapter, ServerThatNeverWritesHoldsTheReaderOnlyBriefly) {
    PipeServer server(name);
    win32::Win32PipeClient client(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.ReadOnce(name, buffer), std::optional<std::size_t>(0));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_TRUE(server.Connected());
}

}  // namespace
}  // namespace orvix::wine
