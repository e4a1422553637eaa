// Orvix.exe: binds the Win32 adapters to the application object and runs its message loop.
#include "platform/win32/Win32Api.h"

#include "monitor/OrvixApp.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Profile.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Version.h"
#include "platform/win32/Win32WindowSystem.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace orvix::win32;
    // --- port bindings ---
    static Win32Process process;
    static Win32Profile profile;
    static Win32FileSystem files;
    static Win32Registry registry;
    static orvix::Win32Locale locale;
    static orvix::Win32Version version;
    static Win32WindowSystem windows(instance);
    static orvix::COrvixApp app(
        orvix::AppPorts{process, profile, files, registry, locale, version, windows});
    // --- end of port bindings ---

    if (!app.InitInstance()) {
        return 0;
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    // The program ends through its own exit path; leaving the loop otherwise still ends it
    // with exit code 0.
    ::ExitProcess(0);
}
