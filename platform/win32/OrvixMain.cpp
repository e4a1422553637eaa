// Orvix.exe: binds the Win32 adapters to the application object and runs its message loop.
#include "platform/win32/Win32Api.h"

#include "monitor/OrvixApp.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Pipe.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Profile.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32TextConversion.h"
#include "platform/win32/Win32Version.h"
#include "platform/win32/Win32WindowSystem.h"

#ifdef ORVIX_SIMULATION
#include "platform/sim/SimSpooler.h"
#include "platform/sim/SimUsbBus.h"
#else
#include "platform/win32/Win32Spooler.h"
#include "platform/win32/Win32UsbBus.h"
#endif

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
#ifdef ORVIX_SIMULATION
    static orvix::sim::SimUsbBus usb;
    static orvix::sim::SimSpooler spooler;
#else
    static Win32UsbBus usb;
    static Win32Spooler spooler;
#endif
    static Win32DebugOutput debugOutput;
    static Win32TextConversion text;
    static Win32PipeClient pipes;
    static orvix::COrvixApp app(orvix::AppPorts{process, profile, files, registry, locale, version,
                                                windows, usb, spooler, debugOutput, text, pipes});
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
