#pragma once
#include <string>
#include <string_view>

namespace orvix {

// Text conversion of the system: UTF-16 job records become the 8-bit texts the rest of the
// program compares byte for byte.
class ITextConversion {
public:
    virtual ~ITextConversion() = default;
    // UTF-16 (little-endian code units, no terminating zero) to the system's ANSI code page
    // (WideCharToMultiByte with CP_ACP); a character the code page lacks becomes its default
    // character. Empty on failure.
    virtual std::string WideToAnsi(std::u16string_view text) = 0;
};

}  // namespace orvix
