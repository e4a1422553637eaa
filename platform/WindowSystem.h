#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/Handles.h"

namespace orvix {

// A WM_COPYDATA record as the receiver sees it: only `data[0, size)` may be read.
struct CopyDataRecord {
    std::uintptr_t id = 0;
    std::span<const std::uint8_t> bytes;
};

// What a frame window reports to its logic object. The Win32 host translates window
// messages into these calls; the fakes call them directly.
class IFrameEvents {
public:
    virtual ~IFrameEvents() = default;

    // WM_CREATE, after the platform has created the window: 0 or -1.
    virtual int OnCreate(WindowHandle self) = 0;
    virtual void OnCopyData(WindowHandle sender, const CopyDataRecord& record) = 0;
    virtual void OnTimer(unsigned id) = 0;
    // A private message (WM_USER range or the two service numbers); true when handled.
    virtual bool OnPrivateMessage(unsigned message) = 0;
    // WM_POWERBROADCAST; the window answers TRUE whatever this does.
    virtual void OnPowerBroadcast(unsigned event) = 0;
    virtual void OnDestroy() = 0;
};

enum class ShowCommand { Hide = 0, Show = 5 };

// The window manager, as far as the logic needs it.
class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;

    // FindWindowA: a top-level window whose class name and title both match; 0 if none.
    virtual WindowHandle FindWindow(const std::string& className, const std::string& title) = 0;
    virtual std::intptr_t SendMessage(WindowHandle to, unsigned message) = 0;
    virtual std::intptr_t SendCopyData(WindowHandle to, std::uintptr_t id,
                                       std::span<const std::uint8_t> bytes) = 0;
    virtual bool PostMessage(WindowHandle to, unsigned message) = 0;

    // Registers the main window class (style 0x000B, icon 128, COLOR_WINDOW + 1, no cursor or
    // menu); an already registered class is reused. False when registration failed.
    virtual bool RegisterMainClass(const std::string& className) = 0;

    // Creates the hidden main window (class and title `className`, WS_OVERLAPPEDWINDOW,
    // default position and size). `events` receives OnCreate during the call. 0 on failure.
    virtual WindowHandle CreateFrameWindow(const std::string& className, IFrameEvents& events) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;

    // Creates a modeless dialog from the program's template, owned by the main window; it
    // stays hidden unless the template says otherwise. 0 on failure.
    virtual WindowHandle CreateDialogWindow(int templateId) = 0;
    virtual void ShowWindow(WindowHandle window, ShowCommand command) = 0;

    virtual void SetTimer(WindowHandle window, unsigned id, unsigned milliseconds) = 0;
    virtual void KillTimer(WindowHandle window, unsigned id) = 0;

    // Raising a window in front of the user.
    // SetWindowPos into (true) or out of (false) the topmost band, without moving, sizing or
    // activating it (SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE).
    virtual void SetTopmost(WindowHandle window, bool topmost) = 0;
    // True when its style holds WS_MINIMIZE.
    virtual bool IsMinimized(WindowHandle window) = 0;
    // Sends it WM_SYSCOMMAND with SC_RESTORE.
    virtual void SendRestoreCommand(WindowHandle window) = 0;
    // The thread of the current foreground window (0 when there is none), and the caller's.
    virtual std::uint32_t ForegroundWindowThread() = 0;
    virtual std::uint32_t CurrentThreadId() = 0;
    // AttachThreadInput(from, to, attach).
    virtual bool AttachThreadInput(std::uint32_t from, std::uint32_t to, bool attach) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    // Invalidates the whole client area, with erasing when `erase`.
    virtual void InvalidateRect(WindowHandle window, bool erase) = 0;
};

}  // namespace orvix
