// Start-up of the real Orvix.exe, observed from outside: the three start forms, the hand-off
// to a running instance (played by a recording window of the configured class and title), and
// the first instance's hidden main window.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/Win32WindowSystem.h"
#include "protocol/Protocol.h"
#include "tests/wine/WineSupport.h"

namespace orvix::wine {
namespace {

// An installation of Orvix in a scratch directory with its own window class, so tests never
// see each other's instances.
class Installation {
public:
    explicit Installation(bool withConfig = true) : modelClass(UniqueName("OrvixTest")) {
        EXPECT_TRUE(CopyInto(BinDir() + "\\Orvix.exe", Exe()));
        if (withConfig) {
            EXPECT_TRUE(WriteFileBytes(
                dir / "Orvix.dat",
                "[Model]\r\nClass=" + modelClass + "\r\nCaption=Velmar Laser Z880k\r\n"));
        }
    }
    std::string Exe() const { return dir / "Orvix.exe"; }
    std::string Quoted() const { return "\"" + Exe() + "\""; }

    TempDir dir;
    std::string modelClass;
};

constexpr auto kDeadline = std::chrono::seconds(30);

TEST(StartupHandOff, JobFormSendsTheHandoffRecordAndEnds) {
    Installation install;
    RecordingWindow running(install.modelClass);
    ASSERT_NE(running.Handle(), nullptr);

    Process second(install.Exe(), "/Orvix /\\\\.\\pipe\\Z880kFUS3");
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(kDeadline), std::optional<DWORD>(0));

    ASSERT_EQ(running.Messages().size(), 1u);
    const auto& got = running.Messages()[0];
    EXPECT_EQ(got.message, static_cast<UINT>(WM_COPYDATA));
    EXPECT_EQ(got.copyDataId, CD_HANDOFF);
    ASSERT_EQ(got.bytes.size(), 305u);
    std::uint8_t expected[305] = {};
    std::memcpy(expected, "\\\\.\\pipe\\Z880kFUS3", 18);
    std::memcpy(expected + 255, "Orvix", 5);
    EXPECT_EQ(std::memcmp(got.bytes.data(), expected, sizeof expected), 0)
        << "pipe name in bytes 0..254 and program name in 255..304, zero-filled";
}

TEST(StartupHandOff, TonerModeAsksTheRunningInstanceForTheOrderWindow) {
    Installation install;
    RecordingWindow running(install.modelClass);
    Process second(install.Exe(), install.Quoted());
    EXPECT_EQ(second.WaitForExit(kDeadline), std::optional<DWORD>(0));
    ASSERT_EQ(running.Messages().size(), 1u);
    EXPECT_EQ(running.Messages()[0].message, static_cast<UINT>(WM_SM_SHOW_ORDER_TONER));
}

TEST(StartupHandOff, PlainStartAndRefusedJobFormsSendNothing) {
    Installation install;
    RecordingWindow running(install.modelClass);
    const std::string tooLongProgram(50, 'P');
    for (const std::string& line :
         {install.Quoted() + " /x",
          // A program name that does not fit its 50-byte field is not a job start; its
          // arguments hold a "/", so it is a plain start.
          "/" + tooLongProgram + " /\\\\.\\pipe\\Z880kFUS3",
          // "/Orvix /" leaves the pipe name empty; the arguments hold a "/".
          std::string("/Orvix /")}) {
        Process second(install.Exe(), line);
        EXPECT_EQ(second.WaitForExit(kDeadline), std::optional<DWORD>(0)) << line;
    }
    EXPECT_TRUE(running.Messages().empty());
}

TEST(StartupFirstInstance, PlainStartCreatesTheHiddenMainWindow) {
    Installation install;
    Process first(install.Exe(), install.Quoted() + " /x");
    const HWND window = WaitForWindow(install.modelClass, kDeadline);
    ASSERT_NE(window, nullptr) << "main window with class and title from Orvix.dat";
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(0x000B));
    EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW,
              static_cast<LONG>(WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(first.Running());
    first.Kill();
}

TEST(StartupFirstInstance, TonerModeShowsTheOrderWindow) {
    Installation install;
    Process first(install.Exe(), install.Quoted());
    ASSERT_NE(WaitForWindow(install.modelClass, kDeadline), nullptr);
    DWORD processId = 0;
    HWND visible = nullptr;
    const bool shown = PumpUntil(
        [&] {
            HWND main = ::FindWindowA(install.modelClass.c_str(), install.modelClass.c_str());
            ::GetWindowThreadProcessId(main, &processId);
            for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(w, &owner);
                if (owner == processId && ::IsWindowVisible(w)) {
                    visible = w;
                    return true;
                }
            }
            return false;
        },
        kDeadline);
    ASSERT_TRUE(shown) << "a visible window of the new process";
    EXPECT_EQ(::GetWindow(visible, GW_OWNER),
              ::FindWindowA(install.modelClass.c_str(), install.modelClass.c_str()))
        << "owned by the hidden main window";
    first.Kill();
}

// Brush and icon are not visible across processes under Wine, so the registration is checked
// in this process through the same adapter.
TEST(MainWindowClass, RegisteredWithStyleIconAndBrush) {
    win32::Win32WindowSystem windows(::GetModuleHandleA(nullptr));
    const std::string name = UniqueName("OrvixClass");
    ASSERT_TRUE(windows.RegisterMainClass(name));
    EXPECT_TRUE(windows.RegisterMainClass(name)) << "an existing class is reused";
    WNDCLASSA info{};
    ASSERT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), name.c_str(), &info));
    EXPECT_EQ(info.style, 0x000Bu);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(info.hbrBackground), 6u);
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_EQ(info.lpszMenuName, nullptr);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    ::UnregisterClassA(name.c_str(), ::GetModuleHandleA(nullptr));
}

TEST(StartupRefused, NoWindowClassConfiguredEndsAtOnce) {
    Installation install(/*withConfig=*/false);
    Process first(install.Exe(), install.Quoted() + " /x");
    EXPECT_EQ(first.WaitForExit(kDeadline), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace orvix::wine
