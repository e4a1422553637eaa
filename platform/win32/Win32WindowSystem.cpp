#include "platform/win32/Win32WindowSystem.h"

#include "protocol/Protocol.h"

namespace orvix::win32 {
namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

IFrameEvents* EventsOf(HWND window) {
    return reinterpret_cast<IFrameEvents*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool IsPrivateMessage(UINT message) {
    return message >= WM_USER || message == WM_SM_SERVICE_CREATE || message == WM_SM_SERVICE_DELETE;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    IFrameEvents* events = EventsOf(window);
    if (events == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return events->OnCreate(FromHwnd(window));
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            CopyDataRecord record;
            if (data != nullptr) {
                record.id = data->dwData;
                if (data->lpData != nullptr && data->cbData != 0) {
                    record.bytes = {static_cast<const std::uint8_t*>(data->lpData), data->cbData};
                }
            }
            events->OnCopyData(reinterpret_cast<WindowHandle>(wParam), record);
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        case WM_TIMER:
            events->OnTimer(static_cast<unsigned>(wParam));
            return ::DefWindowProcA(window, message, wParam, lParam);
        case WM_POWERBROADCAST:
            events->OnPowerBroadcast(static_cast<unsigned>(wParam));
            return TRUE;  // a suspend request is never refused
        case WM_DESTROY:
            events->OnDestroy();
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            return ::DefWindowProcA(window, message, wParam, lParam);
        default:
            if (IsPrivateMessage(message) && events->OnPrivateMessage(message)) {
                return 0;
            }
            return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                // Closing hides the window and lets the main window decide whether to end.
                ::ShowWindow(dialog, SW_HIDE);
                if (HWND owner = ::GetWindow(dialog, GW_OWNER)) {
                    ::SendMessageA(owner, WM_SM_EXIT_IF_IDLE, 0, 0);
                }
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

WindowHandle Win32WindowSystem::FindWindow(const std::string& className, const std::string& title) {
    return FromHwnd(::FindWindowA(className.c_str(), title.c_str()));
}

std::intptr_t Win32WindowSystem::SendMessage(WindowHandle to, unsigned message) {
    return ::SendMessageA(ToHwnd(to), message, 0, 0);
}

std::intptr_t Win32WindowSystem::SendCopyData(WindowHandle to, std::uintptr_t id,
                                              std::span<const std::uint8_t> bytes) {
    COPYDATASTRUCT data{};
    data.dwData = id;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = const_cast<std::uint8_t*>(bytes.data());
    return ::SendMessageA(ToHwnd(to), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

bool Win32WindowSystem::PostMessage(WindowHandle to, unsigned message) {
    return ::PostMessageA(ToHwnd(to), message, 0, 0) != FALSE;
}

bool Win32WindowSystem::RegisterMainClass(const std::string& className) {
    WNDCLASSA existing{};
    if (::GetClassInfoA(instance, className.c_str(), &existing)) {
        return true;  // reused, as the framework's registration does
    }
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(128));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    return ::RegisterClassA(&windowClass) != 0;
}

WindowHandle Win32WindowSystem::CreateFrameWindow(const std::string& className,
                                                  IFrameEvents& events) {
    HWND window = ::CreateWindowExA(0, className.c_str(), className.c_str(), WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    nullptr, nullptr, instance, &events);
    if (window != nullptr && mainWindow == nullptr) {
        mainWindow = window;
    }
    return FromHwnd(window);
}

void Win32WindowSystem::DestroyWindow(WindowHandle window) {
    if (ToHwnd(window) == mainWindow) {
        mainWindow = nullptr;
    }
    ::DestroyWindow(ToHwnd(window));
}

WindowHandle Win32WindowSystem::CreateDialogWindow(int templateId) {
    return FromHwnd(::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), mainWindow,
                                         PlainDialogProc, 0));
}

void Win32WindowSystem::ShowWindow(WindowHandle window, ShowCommand command) {
    ::ShowWindow(ToHwnd(window), command == ShowCommand::Show ? SW_SHOW : SW_HIDE);
}

void Win32WindowSystem::SetTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
    ::SetTimer(ToHwnd(window), id, milliseconds, nullptr);
}

void Win32WindowSystem::KillTimer(WindowHandle window, unsigned id) {
    ::KillTimer(ToHwnd(window), id);
}

void Win32WindowSystem::SetTopmost(WindowHandle window, bool topmost) {
    ::SetWindowPos(ToHwnd(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool Win32WindowSystem::IsMinimized(WindowHandle window) {
    return (static_cast<DWORD>(::GetWindowLongA(ToHwnd(window), GWL_STYLE)) & WS_MINIMIZE) != 0;
}

void Win32WindowSystem::SendRestoreCommand(WindowHandle window) {
    ::SendMessageA(ToHwnd(window), WM_SYSCOMMAND, SC_RESTORE, 0);
}

std::uint32_t Win32WindowSystem::ForegroundWindowThread() {
    const HWND foreground = ::GetForegroundWindow();
    return foreground != nullptr ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
}

std::uint32_t Win32WindowSystem::CurrentThreadId() {
    return ::GetCurrentThreadId();
}

bool Win32WindowSystem::AttachThreadInput(std::uint32_t from, std::uint32_t to, bool attach) {
    return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
}

bool Win32WindowSystem::SetForegroundWindow(WindowHandle window) {
    return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

void Win32WindowSystem::InvalidateRect(WindowHandle window, bool erase) {
    ::InvalidateRect(ToHwnd(window), nullptr, erase ? TRUE : FALSE);
}

}  // namespace orvix::win32
