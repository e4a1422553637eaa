#include "platform/win32/Win32Locale.h"

#include "platform/win32/Win32Api.h"

#include "platform/win32/Win32Handles.h"

namespace orvix {
namespace {

constexpr GEOCLASS kGeoClassNation = 16;

using GetUserGeoIdFunction = GEOID(WINAPI*)(GEOCLASS);

}  // namespace

std::int32_t Win32Locale::ThreadLocale() {
    return static_cast<std::int32_t>(::GetThreadLocale());
}

std::int32_t Win32Locale::UserDefaultLCID() {
    return static_cast<std::int32_t>(::GetUserDefaultLCID());
}

std::optional<std::int32_t> Win32Locale::UserGeoId() {
    const win32::UniqueModule kernel(::LoadLibraryA("kernel32.dll"));
    if (kernel.Get() == nullptr) {
        return std::nullopt;
    }
    const FARPROC address = ::GetProcAddress(kernel.Get(), "GetUserGeoID");
    if (address == nullptr) {
        return std::nullopt;
    }
    // Through void(*)(): the one function pointer type that converts to any other unwarned.
    const auto getUserGeoId =
        reinterpret_cast<GetUserGeoIdFunction>(reinterpret_cast<void (*)()>(address));
    return static_cast<std::int32_t>(getUserGeoId(kGeoClassNation));
}

LeadByteSet Win32Locale::AnsiLeadBytes() {
    LeadByteSet set;
    CPINFO info{};
    if (!::GetCPInfo(CP_ACP, &info)) {
        return set;
    }
    // Pairs of inclusive ranges, ended by a pair of zeros.
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        set.AddRange(info.LeadByte[i], info.LeadByte[i + 1]);
    }
    return set;
}

}  // namespace orvix
