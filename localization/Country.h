#pragma once
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "localization/ComboBox.h"
#include "platform/Registry.h"
#include "platform/Version.h"

namespace orvix {

class CStrTableList;

// One country of the "Phone" section.
struct PhoneEntry {
    std::int32_t code = 0;  // LCID; -1 when the key is not hexadecimal
    std::string name;       // string table value of the key
    std::string phone;      // text after the first "="
};

class LeadByteSet;

// The locale queries that choose the start country and order the country names.
class ILocaleQueries {
public:
    virtual ~ILocaleQueries() = default;
    virtual std::int32_t ThreadLocale() = 0;     // GetThreadLocale
    virtual std::int32_t UserDefaultLCID() = 0;  // GetUserDefaultLCID
    // GetUserGeoID(GEOCLASS_NATION), looked up in kernel32 at run time; nullopt when the
    // library or the export is missing.
    virtual std::optional<std::int32_t> UserGeoId() = 0;
    // Lead bytes of the ANSI code page (none for single-byte code pages), so that country
    // names sort as the C library's multibyte comparison orders them.
    virtual LeadByteSet AnsiLeadBytes() = 0;
};

inline constexpr std::int32_t kEnglishUnitedStates = 0x0409;

// The country table: row i of LangIDTable (LCIDs) belongs to row i of GeoIDTable (GeoIDs).
inline constexpr std::size_t kCountryTableRows = 49;
extern const std::array<std::int32_t, kCountryTableRows> LangIDTable;
extern const std::array<std::int32_t, kCountryTableRows> GeoIDTable;

// Registry location of the language code that the driver's setup records.
inline constexpr const char* kNationKeyPrefix = "Software\\VuZaviv\\";
inline constexpr const char* kNationValueName = "SmCntCode";
inline constexpr std::size_t kNationValueBuffer = 10;
// Key of the contact text shown for a country without its own telephone text.
inline constexpr const char* kContactKey = "OTCWND_STR_CONTACT";

std::int32_t HexToInt(std::string_view text);
std::int32_t GeoIdToLangId(std::int32_t geoId);
bool IsWindows2000(IVersionQuery& version);

// Reads "SmCntCode" under HKLM\Software\VuZaviv\<langKey>; true and `languageCode` set when
// the key opened and the value was read; otherwise false and nothing changes.
bool GetCurrentNationString(IRegistry& registry, const std::string& langKey,
                            std::string& languageCode);

std::int32_t GetDefaultLangID(ILocaleQueries& locale, IVersionQuery& version,
                              const std::vector<PhoneEntry>& phoneList);

// The lead bytes of the double-byte characters of an ANSI code page. Empty for a single-byte
// code page such as Windows-1252.
class LeadByteSet {
public:
    LeadByteSet() = default;
    // Lead bytes of code page 932 (Japanese, Shift JIS): 0x81-0x9F and 0xE0-0xFC.
    static LeadByteSet CodePage932() {
        LeadByteSet set;
        set.AddRange(0x81, 0x9F);
        set.AddRange(0xE0, 0xFC);
        return set;
    }

    // Adds the bytes first..last (inclusive).
    LeadByteSet& AddRange(std::uint8_t first, std::uint8_t last) {
        for (unsigned b = first; b <= last; ++b) {
            bits.set(b);
        }
        return *this;
    }
    bool Contains(std::uint8_t byte) const { return bits.test(byte); }

private:
    std::bitset<256> bits;
};

// The C library's multibyte comparison (_mbscmp): character by character, bytes unsigned,
// with case; a lead byte and the byte after it form one character valued lead * 256 + trail.
// A zero byte or the end of the text ends it. Negative, zero or positive, like strcmp.
int CompareMultibyte(std::string_view a, std::string_view b, const LeadByteSet& leadBytes);

// Sorts names ascending by CompareMultibyte. Without a lead-byte set, the code page is taken
// to have none (a plain unsigned byte comparison).
void SortCountryNames(std::vector<std::string>& names, const LeadByteSet& leadBytes = {});

// The first entry whose name equals `name` byte for byte (with case, equal length).
bool FindPhoneEntry(const std::vector<PhoneEntry>& phoneList, std::string_view name,
                    PhoneEntry& entry);
// The code of the first entry whose name equals `name`; 0 when there is none.
std::int32_t FindCountryCode(const std::vector<PhoneEntry>& phoneList, std::string_view name);

// The text under which an entry stands in a country combo box: "<phone> - <name>". An entry
// without telephone text shows the table's contact text instead; when the table lacks that
// too, the contact part is empty (" - <name>"), so the item can still be chosen.
std::string EntryItemText(const PhoneEntry& entry, const CStrTableList& stringTable);

// What the country combo boxes show, owned by the application object.
struct CountryLists {
    const std::vector<PhoneEntry>& phoneList;
    const std::vector<std::string>& countryNames;
    const CStrTableList& stringTable;
};

// Fills `combo` with one item per country name, in the names' sorted order, and selects the
// item of the country `curLangID`.
void ProcessCountry(IComboBox& combo, std::int32_t curLangID, const CountryLists& lists);

// The selection change of a country combo box: the country named by the selected item
// becomes `curLangID`; an item that names no listed country changes nothing.
void OnSelchangeCountry(IComboBox& combo, const std::vector<PhoneEntry>& phoneList,
                        std::int32_t& curLangID);

}  // namespace orvix
