// The locale and version adapters against the platform itself: the run-time lookup of
// GetUserGeoID, both version records, and the start country chosen through them.
#include <gtest/gtest.h>

#include "platform/win32/Win32Api.h"

#include "localization/Country.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Version.h"

namespace orvix {
namespace {

TEST(Win32Version, BothRecordsReportTheSameSystem) {
    // Through the port: <windows.h> renames GetVersionEx to GetVersionExA in this file.
    Win32Version adapter;
    IVersionQuery& version = adapter;
    const std::optional<OsVersionInfo> extended = version.GetVersionEx(true);
    const std::optional<OsVersionInfo> plain = version.GetVersionEx(false);
    ASSERT_TRUE(extended);
    ASSERT_TRUE(plain);
    EXPECT_EQ(extended->platformId, 2u);  // every system this program runs on is NT
    EXPECT_GE(extended->major, 5u);
    EXPECT_EQ(extended->platformId, plain->platformId);
    EXPECT_EQ(extended->major, plain->major);
    EXPECT_EQ(extended->minor, plain->minor);
    EXPECT_EQ(extended->build, plain->build);
    EXPECT_EQ(IsWindows2000(version), extended->major == 5 && extended->minor == 0);
}

TEST(Win32Locale, GeoIdIsLookedUpAtRunTime) {
    Win32Locale locale;
    const std::optional<std::int32_t> geoId = locale.UserGeoId();
    ASSERT_TRUE(geoId) << "kernel32 exports GetUserGeoID";
    EXPECT_EQ(*geoId, static_cast<std::int32_t>(::GetUserGeoID(GEOCLASS_NATION)));
    EXPECT_GT(*geoId, 0);
    // The library stays loaded by the process, whatever the lookup released.
    EXPECT_NE(::GetModuleHandleA("kernel32.dll"), nullptr);
    EXPECT_EQ(locale.ThreadLocale(), static_cast<std::int32_t>(::GetThreadLocale()));
    EXPECT_EQ(locale.UserDefaultLCID(), static_cast<std::int32_t>(::GetUserDefaultLCID()));
}

TEST(Win32Locale, StartCountryFromThePlatform) {
    Win32Locale locale;
    Win32Version version;
    const std::int32_t expected = [&] {
        const std::int32_t fromGeo = GeoIdToLangId(*locale.UserGeoId());
        return fromGeo == -1 ? locale.UserDefaultLCID() : fromGeo;
    }();
    const std::vector<PhoneEntry> listed = {{expected, "Here", "555 0100"}};
    EXPECT_EQ(GetDefaultLangID(locale, version, listed), expected);
    const std::vector<PhoneEntry> unlisted = {{0x7FFF, "Elsewhere", "555 0100"}};
    EXPECT_EQ(GetDefaultLangID(locale, version, unlisted), kEnglishUnitedStates);
}

TEST(Win32Locale, AnsiLeadBytesMatchThePlatform) {
    const LeadByteSet leadBytes = Win32Locale().AnsiLeadBytes();
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(leadBytes.Contains(static_cast<std::uint8_t>(byte)),
                  ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE)
            << byte;
    }
}

}  // namespace
}  // namespace orvix
