#pragma once
#include <cstdint>
#include <optional>

#include "localization/Country.h"

namespace orvix {

// The locale queries over the kernel's locale functions. GetUserGeoID is looked up at run
// time, since systems before Windows XP do not export it.
class Win32Locale final : public ILocaleQueries {
public:
    std::int32_t ThreadLocale() override;
    std::int32_t UserDefaultLCID() override;
    std::optional<std::int32_t> UserGeoId() override;
    // GetCPInfo of the ANSI code page.
    LeadByteSet AnsiLeadBytes() override;
};

}  // namespace orvix
