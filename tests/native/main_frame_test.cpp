// The hidden main window: job notifications by WM_COPYDATA and by the pipe, the requests from
// other processes, power events, and the way the program ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/MainFrame.h"
#include "monitor/OrvixApp.h"
#include "protocol/Protocol.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

// The process port of the fakes, noting which windows were already destroyed when the process
// was ended.
class ExitWatch final : public IProcessEnvironment {
public:
    ExitWatch(test::FakeProcess& process, test::FakeWindows& fakeWindows)
        : inner(process), windows(fakeWindows) {}
    std::string CommandLine() override { return inner.CommandLine(); }
    std::string ModuleFileName() override { return inner.ModuleFileName(); }
    BitmapHandle LoadBitmap(int id) override { return inner.LoadBitmap(id); }
    void ExitProcess(unsigned code) override {
        destroyedAtExit = windows.destroyed;
        inner.ExitProcess(code);
    }
    std::vector<WindowHandle> destroyedAtExit;

private:
    test::FakeProcess& inner;
    test::FakeWindows& windows;
};

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() : app(Ports()) { app.modelClass = "OrvixTest"; }

    AppPorts Ports() {
        test::FakePlatform& p = platform;
        return AppPorts{exitWatch, p.profile, p.files,   p.registry,    p.locale, p.version,
                        p.windows, p.usb,     p.spooler, p.debugOutput, p.text,   p.pipes};
    }
    CMainFrame& Frame(const std::string& pipeName = "") {
        app.pipeName = pipeName;
        frame = std::make_unique<CMainFrame>(app);
        return *frame;
    }
    void CopyData(std::uintptr_t id, std::span<const std::uint8_t> bytes) {
        frame->OnCopyData(0, CopyDataRecord{id, bytes});
    }
    int PipeTimerStarts() const {
        return static_cast<int>(std::count_if(
            platform.windows.timerStarts.begin(), platform.windows.timerStarts.end(),
            [](const auto& t) { return t.id == SM_PIPE_TIMER && t.milliseconds == 100; }));
    }
    bool Running(unsigned timer) const {
        return platform.windows.timers.count({frame->Handle(), timer}) != 0;
    }
    int JobStartsPosted() const {
        return static_cast<int>(std::count(platform.windows.posted.begin(),
                                           platform.windows.posted.end(),
                                           std::pair{frame->Handle(), WM_SM_JOB_STARTED}));
    }
    bool Ended() const { return platform.process.exitCode.has_value(); }

    test::FakePlatform platform;
    ExitWatch exitWatch{platform.process, platform.windows};
    COrvixApp app;
    std::unique_ptr<CMainFrame> frame;
};

const std::string kPipe = "\\\\.\\pipe\\Z880kFUS3";

std::vector<std::uint8_t> Handoff(const std::string& pipe, const std::string& program) {
    std::vector<std::uint8_t> bytes(305, 0);
    std::copy(pipe.begin(), pipe.end(), bytes.begin());
    std::copy(program.begin(), program.end(), bytes.begin() + 255);
    return bytes;
}

TEST_F(MainFrameTest, CreationStartsThePipeReadOnlyWithAPipeName) {
    Frame();
    EXPECT_NE(frame->Handle(), 0u);
    EXPECT_EQ(platform.windows.framesCreated, std::vector<std::string>{"OrvixTest"});
    EXPECT_EQ(PipeTimerStarts(), 0);

    Frame(kPipe);
    EXPECT_EQ(PipeTimerStarts(), 1);
    EXPECT_TRUE(Running(SM_PIPE_TIMER));

    app.modelClass.clear();
    Frame(kPipe);
    EXPECT_EQ(frame->Handle(), 0u) << "no window without a class";
}

TEST_F(MainFrameTest, HandoffReplacesTheNamesAndRestartsThePipeRead) {
    Frame(kPipe);
    CopyData(CD_HANDOFF, Handoff("\\\\.\\pipe\\Z880kFUS4", "Orvix2"));
    EXPECT_EQ(app.pipeName, "\\\\.\\pipe\\Z880kFUS4");
    EXPECT_EQ(app.programName, "Orvix2");
    CopyData(CD_HANDOFF, Handoff("\\\\.\\PIPE\\Z880kFUS5", "Orvix"));
    EXPECT_EQ(app.pipeName, "\\\\.\\PIPE\\Z880kFUS5");
    EXPECT_EQ(PipeTimerStarts(), 3) << "creation, then each hand-off starts it again";
    EXPECT_EQ(JobStartsPosted(), 0) << "the job itself comes through the pipe";

    frame->OnTimer(SM_PIPE_TIMER);
    EXPECT_EQ(platform.pipes.names, std::vector<std::string>{"\\\\.\\PIPE\\Z880kFUS5"});
}

TEST_F(MainFrameTest, HandoffWithoutPipeNameReplacesTheNamesOnly) {
    Frame(kPipe);
    CopyData(CD_HANDOFF, Handoff("", "Other"));
    EXPECT_EQ(app.pipeName, "");
    EXPECT_EQ(app.programName, "Other");
    EXPECT_EQ(PipeTimerStarts(), 1);
    // The timer still running for the replaced name stops instead of opening nothing forever.
    frame->OnTimer(SM_PIPE_TIMER);
    EXPECT_TRUE(platform.pipes.names.empty());
    EXPECT_FALSE(Running(SM_PIPE_TIMER));
}

// A hand-off from any process must not make Orvix open a file, a device or a share.
TEST_F(MainFrameTest, HandoffOutsideTheLocalPipeNamespaceIsIgnoredWhole) {
    Frame();
    app.programName = "Orvix";
    for (const char* name : {"C:\\Users\\me\\secret.txt", "\\\\server\\share\\file",
                             "\\\\.\\PhysicalDrive0", "\\\\.\\pipe\\..\\C:\\secret.txt"}) {
        CopyData(CD_HANDOFF, Handoff(name, "Evil"));
        EXPECT_EQ(app.pipeName, "") << name;
        EXPECT_EQ(app.programName, "Orvix") << name;
    }
    EXPECT_EQ(PipeTimerStarts(), 0);
}

TEST_F(MainFrameTest, ShortHandoffRecordIsReadWithinItsLength) {
    Frame();
    const auto whole = Handoff(kPipe, "Orvix");
    const std::vector<std::uint8_t> shortRecord(whole.begin(), whole.begin() + 10);
    CopyData(CD_HANDOFF, shortRecord);
    EXPECT_EQ(app.pipeName, "\\\\.\\pipe\\Z");
    EXPECT_EQ(app.programName, "");
    EXPECT_EQ(PipeTimerStarts(), 1);
}

TEST_F(MainFrameTest, JobInfoIsReadByTheOperatingSystemClass) {
    const JobInfo previous{"old printer", "old spare", "old.txt"};
    const JobInfo sent{"Velmar Z880k", "spare", "C:\\docs\\a.txt"};
    const JobInfoAnsiRecord ansi = BuildJobInfoAnsi(sent);
    const JobInfoWideRecord wide = BuildJobInfoWide(u"Velmar Z880k", u"spare", u"C:\\docs\\a.txt");
    struct Case {
        const char* name;
        std::optional<OsVersionInfo> version;
        std::span<const std::uint8_t> record;
        JobInfo expected;
    } cases[] = {
        {"class 6, ANSI", OsVersionInfo{2, 6, 1, 7601}, ansi, sent},
        {"class 1, ANSI", OsVersionInfo{1, 4, 10, 1998}, ansi, sent},
        {"class 5, UTF-16", OsVersionInfo{2, 5, 1, 2600}, wide, sent},
        {"class 2, UTF-16", OsVersionInfo{2, 5, 0, 2195}, wide, sent},
        {"class 4: not decoded", OsVersionInfo{2, 4, 0, 1381}, ansi, previous},
        {"class 3: not decoded", OsVersionInfo{2, 10, 0, 19045}, ansi, previous},
        {"class 0: not decoded", std::nullopt, ansi, previous},
        {"cbData 0", OsVersionInfo{2, 6, 1, 7601}, {}, previous},
        {"cbData 0 on class 5", OsVersionInfo{2, 5, 1, 2600}, {}, previous},
        {"10 bytes on class 6", OsVersionInfo{2, 6, 1, 7601},
         std::span<const std::uint8_t>(ansi).first(10), JobInfo{"Velmar Z88", "", ""}},
        {"3 bytes on class 5", OsVersionInfo{2, 5, 1, 2600},
         std::span<const std::uint8_t>(wide).first(3), JobInfo{"V", "", ""}},
    };
    for (const auto& c : cases) {
        platform.windows.posted.clear();
        platform.version.version = c.version;
        app.jobInfo = previous;
        Frame();
        CopyData(CD_JOB_INFO, c.record);
        EXPECT_EQ(app.jobInfo, c.expected) << c.name;
        EXPECT_EQ(JobStartsPosted(), 1) << c.name << ": the job start follows in every case";
    }
}

TEST_F(MainFrameTest, OtherRecordTypesAreIgnored) {
    Frame();
    app.jobInfo = JobInfo{"kept", "", ""};
    const JobInfoAnsiRecord ansi = BuildJobInfoAnsi(JobInfo{"new", "", ""});
    for (const std::uintptr_t id : {std::uintptr_t{0}, CD_SERVICE_CREATE, CD_SERVICE_DELETE,
                                    std::uintptr_t{999}, std::uintptr_t{1001}}) {
        CopyData(id, ansi);
    }
    EXPECT_EQ(app.jobInfo.printerName, "kept");
    EXPECT_TRUE(platform.windows.posted.empty());
    EXPECT_EQ(PipeTimerStarts(), 0);
}

TEST_F(MainFrameTest, PipeReadIsRetriedEveryTickUntilSomethingIsRead) {
    Frame(kPipe);
    app.jobInfo = JobInfo{"old", "old", "old"};
    const JobInfo job{"Velmar Z880k", "spare", "C:\\docs\\a.txt"};
    const JobInfoAnsiRecord record = BuildJobInfoAnsi(job);
    platform.pipes.script = {
        {false, {}},  // not created yet
        {false, {}},  // busy
        {true, {}},   // opened, nothing written
        {true, {record.begin(), record.end()}},
    };
    for (int tick = 1; tick <= 3; ++tick) {
        frame->OnTimer(SM_PIPE_TIMER);
        EXPECT_TRUE(Running(SM_PIPE_TIMER)) << tick;
        EXPECT_EQ(JobStartsPosted(), 0) << tick;
        EXPECT_EQ(app.jobInfo.printerName, "old") << tick;
    }
    frame->OnTimer(SM_PIPE_TIMER);
    EXPECT_EQ(app.jobInfo, job);
    EXPECT_FALSE(Running(SM_PIPE_TIMER));
    EXPECT_EQ(JobStartsPosted(), 1);
    EXPECT_EQ(platform.pipes.names, std::vector<std::string>(4, kPipe));
    EXPECT_EQ(platform.pipes.bufferSizes, std::vector<std::size_t>(4, 409));

    // Other timers are not the pipe's.
    frame->OnTimer(SM_POPUPED_TIMER);
    frame->OnTimer(4711);
    EXPECT_EQ(platform.pipes.names.size(), 4u);
}

TEST_F(MainFrameTest, ShortPipeReadFillsWhatArrived) {
    Frame(kPipe);
    app.jobInfo = JobInfo{"old", "old", "old"};
    const JobInfoAnsiRecord record =
        BuildJobInfoAnsi(JobInfo{"Velmar Z880k", "spare", "C:\\docs\\a.txt"});
    platform.pipes.script = {{true, {record.begin(), record.begin() + 10}}};
    frame->OnTimer(SM_PIPE_TIMER);
    EXPECT_EQ(app.jobInfo, (JobInfo{"Velmar Z88", "", ""}));
    EXPECT_EQ(JobStartsPosted(), 1);
    EXPECT_FALSE(Running(SM_PIPE_TIMER));
}

TEST_F(MainFrameTest, JobStartIsCountedAndUnknownMessagesAreLeftToTheDefault) {
    Frame();
    EXPECT_TRUE(frame->OnPrivateMessage(WM_SM_JOB_STARTED));
    EXPECT_TRUE(frame->OnPrivateMessage(WM_SM_JOB_STARTED));
    EXPECT_EQ(frame->JobStarts(), 2);
    EXPECT_FALSE(frame->OnPrivateMessage(WM_SM_SERVICE_CREATE));
    EXPECT_FALSE(frame->OnPrivateMessage(0x0400 + 1));
    EXPECT_FALSE(Ended());
}

TEST_F(MainFrameTest, ExitDestroysShownWindowsThenEndsTheProcess) {
    Frame();
    const WindowHandle main = frame->Handle();
    frame->m_smdlg = PopupWindow{0x501, 0, true};  // hidden: left to the end of the process
    frame->m_smbigdlg = PopupWindow{0x502, 1, true};
    frame->m_lowtonerdlg = PopupWindow{0x503, 1, true};
    frame->m_bPolling = true;
    frame->m_bTerminateTimer = true;
    platform.windows.SetTimer(main, SM_POLLING_TIMER, 3000);
    platform.windows.SetTimer(main, SM_TERMINATE_TIMER, 10000);
    ASSERT_TRUE(app.m_ordertonerdlg.Create(platform.windows));
    const WindowHandle order = app.m_ordertonerdlg.Handle();
    app.phoneList.push_back(PhoneEntry{0x409, "United States", "555 0100"});

    EXPECT_TRUE(frame->OnPrivateMessage(WM_SM_KILL));

    EXPECT_EQ(exitWatch.destroyedAtExit, (std::vector<WindowHandle>{0x502, 0x503, order, main}));
    EXPECT_EQ(platform.windows.destroyed, exitWatch.destroyedAtExit) << "nothing after the end";
    EXPECT_EQ(platform.process.exitCode, std::optional<unsigned>(0));
    EXPECT_FALSE(Running(SM_POLLING_TIMER));
    EXPECT_FALSE(Running(SM_TERMINATE_TIMER));
    EXPECT_FALSE(frame->m_bPolling || frame->m_bTerminateTimer || frame->IsAnyPopupShown());
    EXPECT_FALSE(app.m_ordertonerdlg.created);
    EXPECT_TRUE(app.phoneList.empty()) << "the main window's destruction cleans the tables";
}

// Which requests and power events end the program, by the state they meet.
TEST_F(MainFrameTest, WhatEndsTheProgram) {
    struct Case {
        const char* name;
        std::function<void(CMainFrame&)> state;
        std::function<void(CMainFrame&)> event;
        bool ends;
    } cases[] = {
        {"kill while waiting", [](CMainFrame&) {},
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_KILL); }, true},
        {"kill while polling", [](CMainFrame& f) { f.m_bPolling = true; },
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_KILL); }, true},
        {"suspend while polling", [](CMainFrame& f) { f.m_bPolling = true; },
         [](CMainFrame& f) { f.OnPowerBroadcast(PBT_APMSUSPEND); }, true},
        {"suspend without polling", [](CMainFrame&) {},
         [](CMainFrame& f) { f.OnPowerBroadcast(PBT_APMSUSPEND); }, false},
        {"resume while polling", [](CMainFrame& f) { f.m_bPolling = true; },
         [](CMainFrame& f) { f.OnPowerBroadcast(PBT_APMRESUMESUSPEND); }, false},
        {"other power event while polling", [](CMainFrame& f) { f.m_bPolling = true; },
         [](CMainFrame& f) { f.OnPowerBroadcast(10); }, false},
        {"exit if idle, idle", [](CMainFrame&) {},
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_EXIT_IF_IDLE); }, true},
        {"exit if idle while polling", [](CMainFrame& f) { f.m_bPolling = true; },
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_EXIT_IF_IDLE); }, false},
        {"popup closed before any job", [](CMainFrame&) {},
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_POPUP_CLOSED); }, true},
        {"popup closed, one left shown",
         [](CMainFrame& f) {
             f.m_nPopupCount = 2;
             f.m_lowtonerdlg = PopupWindow{0x503, 1, true};
         },
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_POPUP_CLOSED); }, false},
        {"popup closed, count left but none shown", [](CMainFrame& f) { f.m_nPopupCount = 2; },
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_POPUP_CLOSED); }, true},
        {"popup closed, the last one",
         [](CMainFrame& f) {
             f.m_nPopupCount = 1;
             f.m_smdlg = PopupWindow{0x501, 1, true};
         },
         [](CMainFrame& f) { f.OnPrivateMessage(WM_SM_POPUP_CLOSED); }, true},
    };
    for (const auto& c : cases) {
        platform.process.exitCode.reset();
        platform.windows.destroyed.clear();
        Frame();
        c.state(*frame);
        c.event(*frame);
        EXPECT_EQ(Ended(), c.ends) << c.name;
        if (c.ends) {
            EXPECT_EQ(platform.process.exitCode, std::optional<unsigned>(0)) << c.name;
            EXPECT_EQ(platform.windows.destroyed.back(), frame->Handle()) << c.name;
        }
    }
}

TEST_F(MainFrameTest, ResumeRestartsThePollOnlyWhilePolling) {
    Frame();
    frame->OnPowerBroadcast(PBT_APMRESUMESUSPEND);
    EXPECT_FALSE(Running(SM_POLLING_TIMER));

    frame->m_bPolling = true;
    frame->OnPowerBroadcast(PBT_APMRESUMESUSPEND);
    ASSERT_TRUE(Running(SM_POLLING_TIMER));
    EXPECT_EQ(platform.windows.timers.at({frame->Handle(), SM_POLLING_TIMER}), 3000u);
    EXPECT_TRUE(frame->m_bPolling);
}

TEST_F(MainFrameTest, ShowOrderTonerShowsOrRaisesTheOrderWindow) {
    Frame();
    // Never created: nothing appears.
    frame->OnPrivateMessage(WM_SM_SHOW_ORDER_TONER);
    EXPECT_TRUE(platform.windows.shows.empty());
    EXPECT_TRUE(platform.windows.raiseCalls.empty());

    // Created and hidden: shown.
    ASSERT_TRUE(app.m_ordertonerdlg.Create(platform.windows));
    const WindowHandle order = app.m_ordertonerdlg.Handle();
    frame->OnPrivateMessage(WM_SM_SHOW_ORDER_TONER);
    ASSERT_EQ(platform.windows.shows.size(), 1u);
    EXPECT_EQ(platform.windows.shows[0], std::pair(order, ShowCommand::Show));
    EXPECT_EQ(app.m_ordertonerdlg.shown, 1);
    EXPECT_TRUE(platform.windows.raiseCalls.empty());

    // Shown and minimized, another thread in front: restored, raised, made the foreground.
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%llx", static_cast<unsigned long long>(order));
    const std::string w = hex;
    platform.windows.minimized.insert(order);
    platform.windows.foregroundThread = 7;
    platform.windows.currentThread = 1;
    frame->OnPrivateMessage(WM_SM_SHOW_ORDER_TONER);
    EXPECT_EQ(
        platform.windows.raiseCalls,
        (std::vector<std::string>{"topmost " + w, "notopmost " + w, "restore " + w, "attach 7 1",
                                  "foreground " + w, "detach 7 1", "invalidate " + w + " erase"}));
    EXPECT_EQ(platform.windows.shows.size(), 1u) << "not shown again";

    // Not minimized, this thread in front: no restore and no attaching.
    platform.windows.raiseCalls.clear();
    platform.windows.foregroundThread = 1;
    frame->OnPrivateMessage(WM_SM_SHOW_ORDER_TONER);
    EXPECT_EQ(platform.windows.raiseCalls,
              (std::vector<std::string>{"topmost " + w, "notopmost " + w, "foreground " + w,
                                        "invalidate " + w + " erase"}));
    EXPECT_FALSE(Ended());
}

}  // namespace
}  // namespace orvix

namespace orvix {
namespace {

// A job start reads the printer into the current status, prepares the order window and drops
// the path from the job's display text.
TEST_F(MainFrameTest, JobStartReadsThePrinterAndPreparesTheOrderWindow) {
    app.modelString = "Velmar Laser Z880k";
    auto& printer = platform.usb.AddPrinter("\\\\?\\usb#printer1", "MDL:Velmar Laser Z880k;");
    printer.status = {0x01, 3, 1, 2, 0, 60, 20, 0};
    app.jobInfo.displayText = "C:\\docs\\report.txt";
    Frame();
    frame->m_bTerminateTimer = true;
    platform.windows.SetTimer(frame->Handle(), SM_TERMINATE_TIMER, 10000);

    ASSERT_TRUE(frame->OnPrivateMessage(WM_SM_JOB_STARTED));
    EXPECT_EQ(app.curStatus.GetStatusKey(), "SM_PAPER_JAM0");
    EXPECT_EQ(app.curStatus.GetTonerLevel(), 60);
    EXPECT_EQ(app.jobInfo.displayText, "report.txt");
    EXPECT_FALSE(frame->m_bTerminateTimer) << "a new job cancels a pending end";
    EXPECT_FALSE(Running(SM_TERMINATE_TIMER));
    EXPECT_EQ(platform.windows.dialogsCreated, std::vector<int>{132});
    EXPECT_TRUE(app.m_ordertonerdlg.created);
    EXPECT_EQ(app.m_ordertonerdlg.shown, 0) << "created hidden";
    EXPECT_TRUE(platform.usb.Balanced());

    // The next job finds the order window and hides it; the printer is gone now.
    platform.usb.devices.front().opens = false;
    app.jobInfo.displayText = "C:\\spool\\";
    app.m_ordertonerdlg.Show(platform.windows);
    ASSERT_TRUE(frame->OnPrivateMessage(WM_SM_JOB_STARTED));
    EXPECT_EQ(platform.windows.dialogsCreated.size(), 1u) << "created once per process";
    EXPECT_EQ(app.m_ordertonerdlg.shown, 0);
    EXPECT_EQ(platform.windows.shows.back().second, ShowCommand::Hide);
    EXPECT_EQ(app.jobInfo.displayText, "") << "a text ending in a backslash shows as empty";
    EXPECT_EQ(app.curStatus.GetStatusKey(), "SM_USB_CABLE_OFF");
    EXPECT_TRUE(app.curStatus.IsError());

    app.jobInfo.displayText = "report.txt";
    ASSERT_TRUE(frame->OnPrivateMessage(WM_SM_JOB_STARTED));
    EXPECT_EQ(app.jobInfo.displayText, "report.txt") << "no backslash: shown whole";
}

}  // namespace
}  // namespace orvix
