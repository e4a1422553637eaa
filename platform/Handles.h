#pragma once
#include <cstdint>

// Opaque platform handles as the logic sees them: the Win32 adapters store HWND/HBITMAP
// values here; the fakes store whatever identifies their objects. 0 means "none".
namespace orvix {
using WindowHandle = std::uintptr_t;
using BitmapHandle = std::uintptr_t;
}  // namespace orvix
