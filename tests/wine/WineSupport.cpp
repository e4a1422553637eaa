#include "tests/wine/WineSupport.h"

#include <atomic>
#include <fstream>
#include <iterator>

namespace orvix::wine {

std::string BinDir() {
    return ORVIX_BIN_DIR_WIN;
}
std::string SimBinDir() {
    return std::string(ORVIX_BIN_DIR_WIN) + "\\sim";
}
std::string SourceDir() {
    return ORVIX_SOURCE_DIR_WIN;
}

std::string UniqueName(const std::string& prefix) {
    static std::atomic<unsigned> counter{0};
    return prefix + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter) +
           "_" + std::to_string(::GetTickCount());
}

namespace {

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(path.c_str());
}

}  // namespace

TempDir::TempDir() {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    path = std::string(base) + UniqueName("orvix");
    ::CreateDirectoryA(path.c_str(), nullptr);
}

TempDir::~TempDir() {
    RemoveTree(path);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool CopyInto(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(deadline.count());
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) {
            return false;
        }
        // Wake for the next message or after a short slice to re-test the condition.
        ::MsgWaitForMultipleObjects(
            0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
    }
}

Process::Process(const std::string& application, const std::string& commandLine,
                 const std::string& environmentVariables) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    // Extra variables are set in this process for the duration of the start, so the child
    // inherits them with the rest of the environment.
    std::vector<std::pair<std::string, std::string>> restore;
    std::size_t start = 0;
    while (start < environmentVariables.size()) {
        std::size_t end = environmentVariables.find('\n', start);
        if (end == std::string::npos) {
            end = environmentVariables.size();
        }
        const std::string pair = environmentVariables.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos) {
            const std::string name = pair.substr(0, equals);
            char old[1024] = {};
            const DWORD had = ::GetEnvironmentVariableA(name.c_str(), old, sizeof old);
            restore.emplace_back(name, had ? std::string(old) : std::string("\x01"));
            ::SetEnvironmentVariableA(name.c_str(), pair.substr(equals + 1).c_str());
        }
        start = end + 1;
    }
    if (::CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        handle.Reset(info.hProcess);
    }
    for (const auto& [name, value] : restore) {
        ::SetEnvironmentVariableA(name.c_str(), value == "\x01" ? nullptr : value.c_str());
    }
}

Process::~Process() {
    if (Running()) {
        Kill();
    }
}

bool Process::Running() const {
    return handle.Valid() && ::WaitForSingleObject(handle.Get(), 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
    if (handle.Valid()) {
        ::TerminateProcess(handle.Get(), 99);
        ::WaitForSingleObject(handle.Get(), 5000);
    }
}

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds deadline) {
    if (!handle.Valid()) {
        return std::nullopt;
    }
    if (!PumpUntil([this] { return !Running(); }, deadline)) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(handle.Get(), &code);
    return code;
}

RecordingWindow::RecordingWindow(const std::string& classAndTitle) : name(classAndTitle) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name.c_str();
    ::RegisterClassA(&windowClass);
    window = ::CreateWindowExA(0, name.c_str(), name.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                               nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
}

RecordingWindow::~RecordingWindow() {
    if (window != nullptr) {
        ::DestroyWindow(window);
    }
    ::UnregisterClassA(name.c_str(), ::GetModuleHandleA(nullptr));
}

LRESULT CALLBACK RecordingWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr) {
        if (message == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            const auto* bytes = static_cast<const std::uint8_t*>(data->lpData);
            self->received.push_back(
                Received{message, data->dwData,
                         bytes ? std::vector<std::uint8_t>(bytes, bytes + data->cbData)
                               : std::vector<std::uint8_t>()});
            return TRUE;
        }
        if (message >= WM_USER) {
            self->received.push_back(Received{message, 0, {}});
            return 0;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND WaitForWindow(const std::string& classAndTitle, std::chrono::milliseconds deadline) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = ::FindWindowA(classAndTitle.c_str(), classAndTitle.c_str());
            return found != nullptr;
        },
        deadline);
    return found;
}

}  // namespace orvix::wine
