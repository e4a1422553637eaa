#include "platform/win32/Win32TextConversion.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <climits>

namespace orvix::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 code units are WCHARs");

std::string Win32TextConversion::WideToAnsi(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(CP_ACP, 0, wide, length, ansi.data(), needed, nullptr, nullptr);
    ansi.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return ansi;
}

}  // namespace orvix::win32
