#include "localization/Country.h"

#include <algorithm>
#include <array>

#include "localization/StrTableList.h"
#include "platform/BoundedText.h"
#include "platform/Trace.h"

namespace orvix {

// clang-format off
const std::array<std::int32_t, kCountryTableRows> LangIDTable = {
    0x2C0A, 0x1009, 0x340A, 0x240A, 0x080A, 0x280A, 0x500A, 0x380A, 0x3C0A, 0x0409,
    0x200A, 0x2409, 0x0C07, 0x1401, 0x0813, 0x0406, 0x0C01, 0x040B, 0x040C, 0x0407,
    0x1809, 0x040D, 0x0410, 0x2C01, 0x3401, 0x3001, 0x140C, 0x0413, 0x0414, 0x2001,
    0x0816, 0x4001, 0x0419, 0x0401, 0x1C09, 0x0C0A, 0x041D, 0x100C, 0x1C01, 0x041F,
    0x3801, 0x0809, 0x2401, 0x0C09, 0x0411, 0x043E, 0x1409, 0x0804, 0x1004,
};
const std::array<std::int32_t, kCountryTableRows> GeoIDTable = {
    11,  39,  46,  51,  166, 187, 202, 246, 185, 244,
    249, 308, 14,  4,   21,  61,  67,  77,  84,  94,
    68,  117, 118, 126, 136, 139, 147, 176, 177, 164,
    193, 197, 203, 205, 209, 217, 221, 223, 234, 235,
    224, 242, 261, 12,  122, 167, 183, 45,  215,
};
// clang-format on

namespace {

constexpr std::size_t kLanguageCodeChars = kNationValueBuffer - 1;
constexpr std::size_t kLookupBuffer = 256;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// One character of a multibyte text at `pos`, advancing past it; 0 at the end.
unsigned NextCharacter(std::string_view text, std::size_t& pos, const LeadByteSet& leadBytes) {
    if (pos >= text.size() || text[pos] == '\0') {
        return 0;
    }
    const auto byte = static_cast<std::uint8_t>(text[pos++]);
    if (!leadBytes.Contains(byte)) {
        return byte;
    }
    // A lead byte without a trail byte ends the text, as the C library reads it.
    if (pos >= text.size() || text[pos] == '\0') {
        return 0;
    }
    const auto trail = static_cast<std::uint8_t>(text[pos++]);
    return (static_cast<unsigned>(byte) << 8) | trail;
}

}  // namespace

std::int32_t HexToInt(std::string_view text) {
    std::uint32_t result = 0;
    std::uint32_t weight = 1;  // wraps to 0 after eight digits, so earlier digits add nothing
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const int digit = HexDigit(*it);
        if (digit < 0) {
            return -1;
        }
        result += static_cast<std::uint32_t>(digit) * weight;
        weight *= 16;
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t GeoIdToLangId(std::int32_t geoId) {
    const auto found = std::find(GeoIDTable.begin(), GeoIDTable.end(), geoId);
    return found == GeoIDTable.end() ? -1 : LangIDTable[found - GeoIDTable.begin()];
}

bool IsWindows2000(IVersionQuery& version) {
    std::optional<OsVersionInfo> info = version.GetVersionEx(true);
    if (!info) {
        info = version.GetVersionEx(false);
    }
    if (!info) {
        return false;
    }
    return info->platformId == 2 && info->major == 5 && info->minor == 0;
}

bool GetCurrentNationString(IRegistry& registry, const std::string& langKey,
                            std::string& languageCode) {
    Trace("Enter GetCurrentNationString\n");
    const std::optional<std::vector<std::uint8_t>> bytes =
        registry.ReadValue(RegistryRoot::LocalMachine, kNationKeyPrefix + langKey, kNationValueName,
                           kNationValueBuffer);
    if (!bytes) {
        Trace("No language code in the registry\n");
        return false;
    }
    // The value's type is not checked: take the text up to its first zero; a value that
    // fills the buffer without one keeps the nine characters a language code can have.
    languageCode = TextBeforeZero(*bytes).substr(0, kLanguageCodeChars);
    Trace("Language code: %s\n", languageCode.c_str());
    return true;
}

std::int32_t GetDefaultLangID(ILocaleQueries& locale, IVersionQuery& version,
                              const std::vector<PhoneEntry>& phoneList) {
    Trace("Enter GetDefaultLangID\n");
    std::int32_t langId = IsWindows2000(version) ? locale.ThreadLocale() : locale.UserDefaultLCID();
    if (const std::optional<std::int32_t> geoId = locale.UserGeoId()) {
        langId = GeoIdToLangId(*geoId);
        if (langId == -1) {
            langId = locale.UserDefaultLCID();
        }
        Trace("GeoID %d: 0x%04X\n", *geoId, static_cast<unsigned>(langId));
    }
    const bool listed = std::any_of(phoneList.begin(), phoneList.end(),
                                    [&](const PhoneEntry& entry) { return entry.code == langId; });
    return listed ? langId : kEnglishUnitedStates;
}

int CompareMultibyte(std::string_view a, std::string_view b, const LeadByteSet& leadBytes) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        const unsigned ca = NextCharacter(a, i, leadBytes);
        const unsigned cb = NextCharacter(b, j, leadBytes);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
        if (ca == 0) {
            return 0;
        }
    }
}

void SortCountryNames(std::vector<std::string>& names, const LeadByteSet& leadBytes) {
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return CompareMultibyte(a, b, leadBytes) < 0;
    });
}

bool FindPhoneEntry(const std::vector<PhoneEntry>& phoneList, std::string_view name,
                    PhoneEntry& entry) {
    const auto found = std::find_if(phoneList.begin(), phoneList.end(),
                                    [&](const PhoneEntry& e) { return e.name == name; });
    if (found == phoneList.end()) {
        return false;
    }
    entry = *found;
    return true;
}

std::int32_t FindCountryCode(const std::vector<PhoneEntry>& phoneList, std::string_view name) {
    PhoneEntry entry;
    return FindPhoneEntry(phoneList, name, entry) ? entry.code : 0;
}

std::string EntryItemText(const PhoneEntry& entry, const CStrTableList& stringTable) {
    if (!entry.phone.empty()) {
        return entry.phone + " - " + entry.name;
    }
    // Cleared first, so a table without the contact text leaves the contact part empty.
    std::array<char, kLookupBuffer> contact{};
    stringTable.Lookup(kContactKey, contact);
    return std::string(contact.data()) + " - " + entry.name;
}

void ProcessCountry(IComboBox& combo, std::int32_t curLangID, const CountryLists& lists) {
    Trace("Enter ProcessCountry\n");
    for (const std::string& name : lists.countryNames) {
        PhoneEntry entry;
        if (!FindPhoneEntry(lists.phoneList, name, entry)) {
            continue;
        }
        const std::string text = EntryItemText(entry, lists.stringTable);
        combo.AddString(text);
        if (entry.code == curLangID) {
            combo.SelectString(0, text);
        }
    }
}

void OnSelchangeCountry(IComboBox& combo, const std::vector<PhoneEntry>& phoneList,
                        std::int32_t& curLangID) {
    Trace("Enter OnSelchangeCountry\n");
    const int index = combo.GetCurSel();
    if (index == IComboBox::kError) {
        return;
    }
    const std::optional<std::string> text = combo.GetItemText(index);
    if (!text || text->size() < 2) {
        return;
    }
    // The last hyphen at index 1 or later; the name starts two bytes after it (" - name").
    const std::size_t hyphen = text->rfind('-');
    if (hyphen == std::string::npos || hyphen == 0) {
        return;
    }
    if (hyphen + 2 >= text->size()) {
        return;
    }
    const std::string_view name = std::string_view(*text).substr(hyphen + 2);
    const std::int32_t code = FindCountryCode(phoneList, name);
    Trace("Country %s: 0x%04X\n", std::string(name).c_str(), static_cast<unsigned>(code));
    if (code != 0) {
        curLangID = code;
    }
}

}  // namespace orvix
