#pragma once
#include "platform/TextConversion.h"

namespace orvix::win32 {

// WideCharToMultiByte with the system's ANSI code page.
class Win32TextConversion final : public ITextConversion {
public:
    std::string WideToAnsi(std::u16string_view text) override;
};

}  // namespace orvix::win32
