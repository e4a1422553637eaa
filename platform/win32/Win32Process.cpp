#include "platform/win32/Win32Process.h"

#include "platform/win32/Win32Api.h"

namespace orvix::win32 {

std::string Win32Process::CommandLine() {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? line : "";
}

std::string Win32Process::ModuleFileName() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : MAX_PATH - 1);
}

BitmapHandle Win32Process::LoadBitmap(int resourceId) {
    // Kept until the process ends, as the gauge uses them on every paint.
    return reinterpret_cast<BitmapHandle>(
        ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

void Win32Process::ExitProcess(unsigned exitCode) {
    ::ExitProcess(exitCode);
}

}  // namespace orvix::win32
