#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "localization/Country.h"
#include "localization/StrTableList.h"
#include "monitor/OrvixApp.h"
#include "platform/portable/StdFileSystem.h"
#include "status/StatusInfo.h"
#include "tests/fakes/FakeComboBox.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

// Every key the windows look up besides the status keys.
const char* const kWindowKeys[] = {
    "COMMON_BTN_CLOSE",
    "LTWWND_CAPTION",
    "LTWWND_BTN_ORDER_TONER_ONLINE",
    "LTWWND_STR2",
    "LTWWND_STR_NOTE",
    "LTWWND_STR_TEL",
    "LTWWND_CATRIDGE_AVAILABLE_INFO",
    "STSWND_BTN_ORDER_TONER",
    "STSWND_LABEL_PRINTER_STATUS",
    "STSWND_LABEL_TONER_LEVEL",
    "STSWND_LABEL_TONER_LOW",
    "STSWND_LABEL_TONER_EMPTY",
    "STSWND_STR_LOW_TONER_GUIDE",
    "STSWND_STR_LOW_TONER_WND_GUIDE",
    "OTCWND_CAPTION",
    "OTCWND_TITLE",
    "OTCWND_STR2",
    "OTCWND_LABEL_TEL",
    "OTCWND_VISIT_WEBSITE",
    "OTCWND_STR_NOTE",
    "OTCWND_STR_TEL",
    "OTCWND_STR_CONTACT",
    "SM_NONDEFINED_ERROR_SHORT",
};

// The "Phone" keys of the sample installation.
const char* const kCountryKeys[] = {"409", "809", "C09", "1009", "1409", "1809", "1C09", "40C",
                                    "80C", "C0C", "407", "C07",  "807",  "410",  "40A",  "413",
                                    "406", "41D", "414", "40B",  "411",  "0409"};

// Every key the decoder can produce, found by running it over the status bytes.
std::set<std::string> AllStatusKeys() {
    std::set<std::string> keys;
    StatusInfo status;
    for (int mainStatus = 0; mainStatus < 256; ++mainStatus) {
        for (int sub1 = 0; sub1 < 256; ++sub1) {
            for (const int sub2 : {0, 2, 8, 9}) {
                const std::array<std::uint8_t, 8> record = {1,
                                                            static_cast<std::uint8_t>(mainStatus),
                                                            static_cast<std::uint8_t>(sub1),
                                                            static_cast<std::uint8_t>(sub2),
                                                            0,
                                                            0,
                                                            0,
                                                            0};
                status.Decode(record);
                if (std::string key = status.GetStatusKey(); !key.empty()) {
                    keys.insert(std::move(key));
                }
            }
        }
    }
    return keys;
}

std::vector<std::string> ShippedLanguages();

class MulLangFileTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        path = std::string(ORVIX_SOURCE_DIR) + "/install/MulLang/SM" + GetParam() + ".trs";
        ASSERT_TRUE(table.Load(path, files)) << path;
    }
    std::string Value(const std::string& key) {
        std::array<char, 256> buffer{};
        EXPECT_TRUE(table.Lookup(key, buffer)) << key << " missing in " << path;
        return buffer.data();
    }

    StdFileSystem files;
    CStrTableList table;
    std::string path;
};

TEST_P(MulLangFileTest, HoldsEveryKeyTheProgramLooksUp) {
    const std::set<std::string> statusKeys = AllStatusKeys();
    ASSERT_EQ(statusKeys.size(), 21u);
    std::vector<std::string> keys(statusKeys.begin(), statusKeys.end());
    keys.insert(keys.end(), std::begin(kWindowKeys), std::end(kWindowKeys));
    keys.insert(keys.end(), std::begin(kCountryKeys), std::end(kCountryKeys));
    for (const std::string& key : keys) {
        EXPECT_FALSE(Value(key).empty()) << key << " in " << path;
    }
}

TEST_P(MulLangFileTest, ValuesFitTheWindowsBuffersAndCodePage) {
    std::set<std::string> seen;
    for (const StrTableEntry& entry : table.Entries()) {
        EXPECT_TRUE(seen.insert(entry.key).second) << "duplicate " << entry.key;
        EXPECT_LT(entry.value.size(), 256u) << entry.key;
        for (std::size_t i = 0; i < entry.value.size(); ++i) {
            const auto byte = static_cast<std::uint8_t>(entry.value[i]);
            // Windows-1252 leaves these undefined; a control byte means a broken line.
            EXPECT_TRUE(byte >= 0x20 && byte != 0x81 && byte != 0x8D && byte != 0x8F &&
                        byte != 0x90 && byte != 0x9D)
                << entry.key << " byte " << i;
            // A UTF-8 sequence (lead 0xC2-0xF4, then 0x80-0xBF) means the wrong encoding.
            if (byte >= 0xC2 && byte <= 0xF4 && i + 1 < entry.value.size()) {
                const auto next = static_cast<std::uint8_t>(entry.value[i + 1]);
                EXPECT_FALSE(next >= 0x80 && next <= 0xBF) << entry.key << " looks like UTF-8";
            }
        }
    }
}

TEST_P(MulLangFileTest, EveryCountryOfTheSampleInstallationCanBeChosen) {
    // The sample installation as the program finds it: its model configuration, the three
    // tables, and the driver's language in the registry.
    test::FakePlatform platform;
    const std::string install = std::string(ORVIX_SOURCE_DIR) + "/install/";
    const auto put = [&](const std::string& from, const std::string& to) {
        const std::optional<std::string> bytes = files.ReadWholeFile(install + from);
        ASSERT_TRUE(bytes) << from;
        platform.files.Put(to, *bytes);
    };
    put("Orvix.dat", "C:\\P\\Orvix.dat");
    for (const std::string& language : ShippedLanguages()) {
        put("MulLang/SM" + language + ".trs", "C:\\P\\MulLang\\SM" + language + ".trs");
    }
    platform.registry.SetString(RegistryRoot::LocalMachine, "Software\\VuZaviv\\Velmar Laser Z880k",
                                "SmCntCode", GetParam());
    COrvixApp app(platform.Ports());
    app.Initialize();
    ASSERT_EQ(app.languageCode, GetParam());
    ASSERT_EQ(app.phoneList.size(), std::size(kCountryKeys));
    ASSERT_EQ(app.curLangID, 0x0409);

    test::FakeComboBox combo;
    ProcessCountry(combo, app.curLangID,
                   CountryLists{app.phoneList, app.countryNames, app.stringTable});
    ASSERT_EQ(combo.items.size(), app.phoneList.size());
    ASSERT_NE(combo.selected, IComboBox::kError);
    EXPECT_EQ(combo.items[static_cast<std::size_t>(combo.selected)],
              "1-800-555-0140 - " + Value("409"));

    // Choosing any item sets its country: no name may hide behind a hyphen of its own.
    std::set<std::int32_t> chosen;
    for (std::size_t i = 0; i < combo.items.size(); ++i) {
        combo.Choose(static_cast<int>(i));
        std::int32_t curLangID = 0;
        OnSelchangeCountry(combo, app.phoneList, curLangID);
        EXPECT_NE(curLangID, 0) << combo.items[i];
        chosen.insert(curLangID);
    }
    // 409 and 0409 name one country; every other key is a country of its own.
    EXPECT_EQ(chosen.size(), std::size(kCountryKeys) - 1);
}

// Every language the sample installation ships, so a new SMxx.trs is checked as it lands.
std::vector<std::string> ShippedLanguages() {
    std::vector<std::string> languages;
    for (const auto& file :
         std::filesystem::directory_iterator(std::string(ORVIX_SOURCE_DIR) + "/install/MulLang")) {
        const std::string name = file.path().filename().string();
        if (name.starts_with("SM") && name.ends_with(".trs")) {
            languages.push_back(name.substr(2, name.size() - 6));
        }
    }
    std::sort(languages.begin(), languages.end());
    return languages;
}

INSTANTIATE_TEST_SUITE_P(Languages, MulLangFileTest, ::testing::ValuesIn(ShippedLanguages()),
                         [](const auto& language) { return language.param; });

}  // namespace
}  // namespace orvix
