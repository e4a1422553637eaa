#pragma once
#include "platform/win32/Win32Api.h"

#include "platform/WindowSystem.h"

namespace orvix::win32 {

// USER32 behind IWindowSystem. It also hosts the frame window: the registered class's window
// procedure forwards each message to the IFrameEvents given at creation.
class Win32WindowSystem final : public IWindowSystem {
public:
    explicit Win32WindowSystem(HINSTANCE module) : instance(module) {}

    WindowHandle FindWindow(const std::string& className, const std::string& title) override;
    std::intptr_t SendMessage(WindowHandle to, unsigned message) override;
    std::intptr_t SendCopyData(WindowHandle to, std::uintptr_t id,
                               std::span<const std::uint8_t> bytes) override;
    bool PostMessage(WindowHandle to, unsigned message) override;
    bool RegisterMainClass(const std::string& className) override;
    WindowHandle CreateFrameWindow(const std::string& className, IFrameEvents& events) override;
    void DestroyWindow(WindowHandle window) override;
    WindowHandle CreateDialogWindow(int templateId) override;
    void ShowWindow(WindowHandle window, ShowCommand command) override;
    void SetTimer(WindowHandle window, unsigned id, unsigned milliseconds) override;
    void KillTimer(WindowHandle window, unsigned id) override;
    void SetTopmost(WindowHandle window, bool topmost) override;
    bool IsMinimized(WindowHandle window) override;
    void SendRestoreCommand(WindowHandle window) override;
    std::uint32_t ForegroundWindowThread() override;
    std::uint32_t CurrentThreadId() override;
    bool AttachThreadInput(std::uint32_t from, std::uint32_t to, bool attach) override;
    bool SetForegroundWindow(WindowHandle window) override;
    void InvalidateRect(WindowHandle window, bool erase) override;

    // The main window: owner of every dialog, as the framework would make it.
    HWND MainWindow() const { return mainWindow; }

private:
    HINSTANCE instance;
    HWND mainWindow = nullptr;
};

}  // namespace orvix::win32
