#include "platform/win32/Win32DebugOutput.h"

#include "platform/win32/Win32Api.h"

namespace orvix::win32 {

void Win32DebugOutput::Write(const char* text) {
    ::OutputDebugStringA(text);
}

}  // namespace orvix::win32
