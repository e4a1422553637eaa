#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "localization/Country.h"
#include "localization/StrTableList.h"
#include "tests/fakes/FakeComboBox.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

TEST(HexToIntTest, Conversions) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"409", 1033},
        {"0409", 1033},
        {"C0A", 3082},
        {"c0a", 3082},
        {"1a", 26},
        {"1A", 26},
        {"1G", -1},
        {"G1", -1},
        {"40G", -1},
        {" 409", -1},
        {"409 ", -1},
        {"-1", -1},
        {"FFFFFFFF", -1},
        {"7FFFFFFF", INT_MAX},
        {"80000000", INT_MIN},
        // Only the last eight digits count.
        {"123456789", 0x23456789},
        {"F00000409", 0x409},
        // A bad character anywhere, even before the last eight digits, is an error.
        {"X00000409", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexToInt(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(CountryTableTest, GeoIdToLangId) {
    struct Case {
        std::int32_t geoId;
        std::int32_t langId;
    };
    const Case cases[] = {{244, 0x0409}, {84, 0x040C}, {308, 0x2409}, {11, 0x2C0A}, {215, 0x1004},
                          {122, 0x0411}, {94, 0x0407}, {999, -1},     {0, -1},      {-1, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(GeoIdToLangId(c.geoId), c.langId) << c.geoId;
    }
    // Every GeoID stands once, so each row can be reached.
    const std::set<std::int32_t> geoIds(GeoIDTable.begin(), GeoIDTable.end());
    EXPECT_EQ(geoIds.size(), GeoIDTable.size());
}

TEST(IsWindows2000Test, VersionRecords) {
    struct Case {
        std::optional<OsVersionInfo> version;
        bool failExtended;
        bool expected;
        int calls;
    };
    const Case cases[] = {
        {OsVersionInfo{2, 5, 0, 2195}, false, true, 1},
        {OsVersionInfo{2, 5, 1, 2600}, false, false, 1},
        {OsVersionInfo{2, 6, 1, 7601}, false, false, 1},
        {OsVersionInfo{1, 5, 0, 0}, false, false, 1},
        {OsVersionInfo{2, 4, 0, 1381}, false, false, 1},
        // The extended record is refused (as by Windows NT 4 before SP6): the plain one.
        {OsVersionInfo{2, 5, 0, 2195}, true, true, 2},
        {std::nullopt, false, false, 2},
    };
    for (const Case& c : cases) {
        test::FakeVersion version;
        version.version = c.version;
        version.failExtended = c.failExtended;
        EXPECT_EQ(IsWindows2000(version), c.expected);
        EXPECT_EQ(version.calls, c.calls);
    }
}

TEST(GetCurrentNationStringTest, RegistryValue) {
    const std::string key = "Software\\VuZaviv\\Z880k";
    struct Case {
        const char* name;
        std::optional<std::vector<std::uint8_t>> value;  // nullopt: key without the value
        bool expected;
        const char* languageCode;
    };
    const Case cases[] = {
        {"string", std::vector<std::uint8_t>{'f', 'r', 0}, true, "fr"},
        {"nine characters",
         std::vector<std::uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9', 0}, true,
         "123456789"},
        {"too long for the buffer",
         std::vector<std::uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 0}, false,
         "old"},
        {"text after the zero", std::vector<std::uint8_t>{'d', 'e', 0, 'x', 0}, true, "de"},
        {"no terminating zero", std::vector<std::uint8_t>{'d', 'e'}, true, "de"},
        {"ten bytes without a zero",
         std::vector<std::uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'}, true,
         "123456789"},
        {"empty value", std::vector<std::uint8_t>{}, true, ""},
        {"value missing", std::nullopt, false, "old"},
    };
    for (const Case& c : cases) {
        test::FakeRegistry registry;
        if (c.value) {
            registry.Set(RegistryRoot::LocalMachine, key, "SmCntCode", *c.value);
        } else {
            registry.AddKey(RegistryRoot::LocalMachine, key);
        }
        std::string languageCode = "old";
        EXPECT_EQ(GetCurrentNationString(registry, "Z880k", languageCode), c.expected) << c.name;
        EXPECT_EQ(languageCode, c.languageCode) << c.name;
    }

    // The key of another language key, or under the current user: not found.
    test::FakeRegistry registry;
    registry.SetString(RegistryRoot::CurrentUser, key, "SmCntCode", "fr");
    registry.SetString(RegistryRoot::LocalMachine, key + "X", "SmCntCode", "fr");
    std::string languageCode;
    EXPECT_FALSE(GetCurrentNationString(registry, "Z880k", languageCode));
    EXPECT_EQ(languageCode, "");
}

std::vector<PhoneEntry> EntriesWithCodes(std::initializer_list<std::int32_t> codes) {
    std::vector<PhoneEntry> entries;
    for (const std::int32_t code : codes) {
        entries.push_back(PhoneEntry{code, "Country", "555 0100"});
    }
    return entries;
}

TEST(GetDefaultLangIDTest, StartCountry) {
    struct Case {
        const char* name;
        std::optional<std::int32_t> geoId;
        std::int32_t userDefault;
        std::int32_t thread;
        bool windows2000;
        std::vector<PhoneEntry> phones;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"GeoID 244, 409 listed", 244, 0x0407, 0x0407, false, EntriesWithCodes({0x409}), 0x0409},
        {"GeoID 84, 409 and 40C listed", 84, 0x0409, 0x0409, false,
         EntriesWithCodes({0x409, 0x40C}), 0x040C},
        {"GeoID 84, no 40C", 84, 0x0409, 0x0409, false, EntriesWithCodes({0x409}), 0x0409},
        {"GeoID 308", 308, 0x0409, 0x0409, false, EntriesWithCodes({0x409, 0x2409}), 0x2409},
        {"unknown GeoID, user default listed", 999, 0x0C0A, 0x0407, false,
         EntriesWithCodes({0x409, 0x0C0A}), 0x0C0A},
        {"unknown GeoID, user default unlisted", 999, 0x0C0A, 0x0407, false,
         EntriesWithCodes({0x409}), 0x0409},
        {"GeoID wins over the locale", 94, 0x040C, 0x040C, true, EntriesWithCodes({0x40C, 0x407}),
         0x0407},
        {"no GeoID export, Windows 2000: thread locale", std::nullopt, 0x040C, 0x0407, true,
         EntriesWithCodes({0x40C, 0x407}), 0x0407},
        {"no GeoID export, other system: user locale", std::nullopt, 0x040C, 0x0407, false,
         EntriesWithCodes({0x40C, 0x407}), 0x040C},
        {"no phone entries", 84, 0x040C, 0x040C, false, {}, 0x0409},
        {"0409 key has the same code", 244, 0x0409, 0x0409, false, EntriesWithCodes({1033}),
         0x0409},
    };
    for (const Case& c : cases) {
        test::FakeLocale locale;
        locale.geoId = c.geoId;
        locale.userDefaultLcid = c.userDefault;
        locale.threadLocale = c.thread;
        test::FakeVersion version;
        version.version =
            c.windows2000 ? OsVersionInfo{2, 5, 0, 2195} : OsVersionInfo{2, 5, 1, 2600};
        EXPECT_EQ(GetDefaultLangID(locale, version, c.phones), c.expected) << c.name;
    }
}

TEST(SortCountryNamesTest, SingleByteCodePage) {
    std::vector<std::string> names = {"Zambia", "Austria",   "austria", "AUSTRIA",
                                      "",       "\xC9gypte", "Zz",      "Aust"};
    SortCountryNames(names);
    // Capitals first, unsigned bytes (0xC9 after every ASCII letter), empty names first.
    EXPECT_EQ(names, (std::vector<std::string>{"", "AUSTRIA", "Aust", "Austria", "Zambia", "Zz",
                                               "austria", "\xC9gypte"}));
}

TEST(SortCountryNamesTest, DoubleByteCharacterIsOneCharacter) {
    const LeadByteSet cp932 = LeadByteSet::CodePage932();
    // Full-width katakana A (0x83 0x41) and half-width katakana A (0xB1): byte for byte the
    // double-byte name sorts first, as one character (0x8341 > 0xB1) it sorts last.
    const std::string fullWidth = "\x83\x41";
    const std::string halfWidth = "\xB1";
    std::vector<std::string> names = {fullWidth, halfWidth, "Japan"};
    SortCountryNames(names, cp932);
    EXPECT_EQ(names, (std::vector<std::string>{"Japan", halfWidth, fullWidth}));

    std::vector<std::string> bytewise = {fullWidth, halfWidth, "Japan"};
    SortCountryNames(bytewise);
    EXPECT_EQ(bytewise, (std::vector<std::string>{"Japan", fullWidth, halfWidth}));

    // A trail byte that looks like a letter is part of its character.
    EXPECT_GT(CompareMultibyte("\x82\x60", "\x82", cp932), 0);
    EXPECT_LT(CompareMultibyte("\x82\x60Z", "\x82\x61", cp932), 0);
    // A lead byte without its trail byte ends the text.
    EXPECT_EQ(CompareMultibyte("Ab\x83", "Ab", cp932), 0);
    EXPECT_EQ(CompareMultibyte(std::string("Ab\x83\0Z", 5), "Ab", cp932), 0);
    EXPECT_GT(CompareMultibyte("Ab\x83", "Ab", LeadByteSet()), 0);
}

TEST(FindPhoneEntryTest, FirstEntryByExactName) {
    const std::vector<PhoneEntry> phones = {
        {0x409, "United States", "555 0100"},
        {0x1009, "Canada", "555 0101"},
        {0x409, "Canada", "555 0199"},
        {-1, "Nowhere", "1"},
    };
    PhoneEntry entry;
    ASSERT_TRUE(FindPhoneEntry(phones, "Canada", entry));
    EXPECT_EQ(entry.code, 0x1009);
    EXPECT_EQ(entry.phone, "555 0101");

    entry = PhoneEntry{7, "kept", "kept"};
    for (const char* missing : {"canada", "Canad", "Canada ", ""}) {
        EXPECT_FALSE(FindPhoneEntry(phones, missing, entry)) << missing;
        EXPECT_EQ(FindCountryCode(phones, missing), 0) << missing;
    }
    EXPECT_EQ(entry.name, "kept");

    EXPECT_EQ(FindCountryCode(phones, "Canada"), 0x1009);
    EXPECT_EQ(FindCountryCode(phones, "Nowhere"), -1);
}

class CountryListTest : public ::testing::Test {
protected:
    void Load(std::string_view trs) { table.Parse(trs); }
    void Add(std::int32_t code, std::string name, std::string phone) {
        countryNames.push_back(name);
        phones.push_back(PhoneEntry{code, std::move(name), std::move(phone)});
    }
    void Fill(std::int32_t curLangID) {
        SortCountryNames(countryNames);
        ProcessCountry(combo, curLangID, CountryLists{phones, countryNames, table});
    }

    CStrTableList table;
    std::vector<PhoneEntry> phones;
    std::vector<std::string> countryNames;
    test::FakeComboBox combo;
};

TEST_F(CountryListTest, ItemTexts) {
    Load("OTCWND_STR_CONTACT \"Call your dealer\"");
    EXPECT_EQ(EntryItemText({0x1009, "Canada", "555 0100"}, table), "555 0100 - Canada");
    EXPECT_EQ(EntryItemText({0x1009, "Canada", ""}, table), "Call your dealer - Canada");
    EXPECT_EQ(EntryItemText({0x1009, "", "555 0100"}, table), "555 0100 - ");

    // Without the contact text the contact part is empty, and the item still names its country.
    CStrTableList bare;
    EXPECT_EQ(EntryItemText({0x1009, "Canada", ""}, bare), " - Canada");

    // The contact text comes through a 256-byte buffer.
    CStrTableList longContact;
    longContact.Parse("OTCWND_STR_CONTACT \"" + std::string(300, 'c') + "\"");
    EXPECT_EQ(EntryItemText({1, "X", ""}, longContact), std::string(255, 'c') + " - X");
}

TEST_F(CountryListTest, FillsInNameOrderAndSelectsCurrentCountry) {
    Add(0x0409, "United States", "555 0100");
    Add(0x1009, "Canada", "555 0101");
    Add(0x040C, "France", "");
    Load("OTCWND_STR_CONTACT \"Your dealer\"");
    Fill(0x1009);

    EXPECT_EQ(combo.items, (std::vector<std::string>{"555 0101 - Canada", "Your dealer - France",
                                                     "555 0100 - United States"}));
    EXPECT_EQ(combo.selected, 0);
    EXPECT_EQ(combo.selectCalls, (std::vector<int>{0}));
}

TEST_F(CountryListTest, NoSelectionWhenCountryIsNotListed) {
    Add(0x0409, "United States", "555 0100");
    Fill(0x0407);
    EXPECT_EQ(combo.items.size(), 1u);
    EXPECT_EQ(combo.selected, IComboBox::kError);
    EXPECT_TRUE(combo.selectCalls.empty());
}

TEST_F(CountryListTest, SelectsTheLastItemAdded) {
    // The current country's item is selected as soon as it is added, so its prefix search
    // cannot run into a longer name listed after it.
    Add(0x0409, "Niger", "555");
    Add(0x0407, "Nigeria", "555");
    Add(0x0C07, "Austria", "555");
    Fill(0x0409);
    EXPECT_EQ(combo.items,
              (std::vector<std::string>{"555 - Austria", "555 - Niger", "555 - Nigeria"}));
    EXPECT_EQ(combo.selected, 1);
}

TEST_F(CountryListTest, EqualNamesShowTheFirstEntry) {
    // Keys 409 and 0409 give the same code; with equal names both rows show the first entry.
    Add(0x0409, "United States", "555 0100");
    Add(0x0409, "United States", "555 0199");
    Fill(0x0409);
    EXPECT_EQ(combo.items,
              (std::vector<std::string>{"555 0100 - United States", "555 0100 - United States"}));
    EXPECT_EQ(combo.selected, 1);
}

TEST_F(CountryListTest, ChoosingAnItemSetsItsCountry) {
    Add(0x0409, "United States", "555 0100");
    Add(0x1009, "Canada", "555 0101");
    Add(-1, "Atlantis", "555 0102");
    Add(0x0C07, "Austria", "");
    Fill(0x0409);

    struct Step {
        int index;
        std::int32_t expected;
    };
    // Items: Atlantis, Austria, Canada, United States.
    const Step steps[] = {{2, 0x1009}, {1, 0x0C07}, {3, 0x0409}, {0, -1}};
    std::int32_t curLangID = 0x0409;
    for (const Step& step : steps) {
        combo.Choose(step.index);
        OnSelchangeCountry(combo, phones, curLangID);
        EXPECT_EQ(curLangID, step.expected) << combo.items[static_cast<std::size_t>(step.index)];
    }
}

TEST_F(CountryListTest, ItemsThatNameNoCountryChangeNothing) {
    Add(0x0409, "United States", "555 0100");
    Add(0x0686, "Guinea-Bissau", "555 0100");
    Add(0, "Nameless", "555 0100");
    Add(0x0816, "", "555 0100");  // a key the string table lacks
    const char* items[] = {
        "555 0100 - Guinea-Bissau",  // the last hyphen leaves "issau"
        "555 0100 United States",    // no hyphen
        "-United States",            // a hyphen only at the first character
        "A-",                        // nothing after the hyphen
        "A -",
        "A - ",  // an empty name part stops, even with a nameless entry
        "555 0100 - ",
        "-",
        "",
        "555 0100 - united states",  // names compare with case
        "555 0100 - Nameless",       // code 0 is "not found"
    };
    for (const char* item : items) {
        test::FakeComboBox box;
        box.AddString(item);
        box.Choose(0);
        std::int32_t curLangID = 0x0407;
        OnSelchangeCountry(box, phones, curLangID);
        EXPECT_EQ(curLangID, 0x0407) << '"' << item << '"';
    }

    // Nothing selected.
    test::FakeComboBox box;
    box.AddString("555 0100 - United States");
    std::int32_t curLangID = 0x0407;
    OnSelchangeCountry(box, phones, curLangID);
    EXPECT_EQ(curLangID, 0x0407);
}

TEST(FakeComboBoxTest, SelectStringSearchRules) {
    test::FakeComboBox box;
    for (const char* item : {"Alpha", "alphabet", "Beta", "ALPHA2"}) {
        box.AddString(item);
    }
    struct Case {
        int start;
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {-1, "alpha", 0},                   // from the top
        {0, "alpha", 1},                    // from the item after 0, without regard to case
        {1, "ALPHA", 3},  {3, "alpha", 0},  // wraps to the top
        {0, "Beta", 2},   {0, "Betas", -1}, {0, "lpha", -1},  // prefix only
        {2, "Beta", 2},                                       // the start item comes last
    };
    for (const Case& c : cases) {
        box.selected = 99;
        const int result = box.SelectString(c.start, c.text);
        EXPECT_EQ(result, c.expected) << c.start << " " << c.text;
        EXPECT_EQ(box.selected, c.expected == -1 ? 99 : c.expected);
    }
}

}  // namespace
}  // namespace orvix
