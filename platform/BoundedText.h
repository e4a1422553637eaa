#pragma once
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

namespace orvix {

// The text at the start of a fixed buffer, up to its first zero, or the whole buffer when it
// holds none: buffers filled by devices, other processes or the registry are never trusted to
// carry their terminator, so nothing is read past their end.
inline std::string_view TextBeforeZero(std::span<const std::uint8_t> bytes) {
    const auto zero = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::size_t>(zero - bytes.begin())};
}

inline std::string_view TextBeforeZero(std::span<const char> text) {
    return {text.data(),
            static_cast<std::size_t>(std::find(text.begin(), text.end(), '\0') - text.begin())};
}

}  // namespace orvix
