// The language of the texts and the start country, chosen by the real program from the
// prefix's registry, its model configuration and the platform's regional settings. Observed
// through the trace of the simulation build, which adds no behaviour to the product.
#include <gtest/gtest.h>

#include "tests/wine/WineSupport.h"

namespace orvix::wine {
namespace {

constexpr auto kDeadline = std::chrono::seconds(30);

// HKLM\Software\VuZaviv\<key>, removed again at the end of the test.
class LanguageKey {
public:
    LanguageKey() : name(UniqueName("OrvixLang")) {}
    ~LanguageKey() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, Path().c_str()); }
    LanguageKey(const LanguageKey&) = delete;
    LanguageKey& operator=(const LanguageKey&) = delete;

    std::string Path() const { return "Software\\VuZaviv\\" + name; }
    void SetCode(const std::string& code) const {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, Path().c_str(), 0, nullptr, 0, KEY_WRITE,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, "SmCntCode", 0, REG_SZ, reinterpret_cast<const BYTE*>(code.c_str()),
                         static_cast<DWORD>(code.size() + 1));
        ::RegCloseKey(key);
    }

    std::string name;
};

struct Start {
    std::string stringTable;  // from "String table: <path> (<n> entries)"
    std::string trace;
};

// Installs the simulation build with the given DefaultLang and language files, starts it
// plainly and waits until it has chosen its country.
Start RunOrvix(const LanguageKey& key, const std::string& defaultLang,
               std::initializer_list<const char*> languages) {
    TempDir dir;
    const std::string modelClass = UniqueName("OrvixLangTest");
    EXPECT_TRUE(CopyInto(SimBinDir() + "\\Orvix.exe", dir / "Orvix.exe"));
    std::string config =
        "[Model]\r\nClass=" + modelClass + "\r\n[Language]\r\nLangKey=" + key.name + "\r\n";
    if (!defaultLang.empty()) {
        config += "DefaultLang=" + defaultLang + "\r\n";
    }
    config += "[Phone]\r\n409=555 0100\r\n40C=555 0101\r\n";
    EXPECT_TRUE(WriteFileBytes(dir / "Orvix.dat", config));
    ::CreateDirectoryA((dir / "MulLang").c_str(), nullptr);
    for (const char* language : languages) {
        EXPECT_TRUE(WriteFileBytes(dir / ("MulLang\\SM" + std::string(language) + ".trs"),
                                   "LANG \"" + std::string(language) + "\"\r\n409 \"US\"\r\n"));
    }
    const std::string tracePath = dir / "trace.log";
    Process orvix(dir / "Orvix.exe", "\"" + (dir / "Orvix.exe") + "\" /x",
                  "ORVIX_TRACE_FILE=" + tracePath);
    Start start;
    PumpUntil(
        [&] {
            start.trace = ReadFileBytes(tracePath).value_or("");
            return start.trace.find("Current country:") != std::string::npos;
        },
        kDeadline);
    orvix.Kill();
    const std::size_t at = start.trace.find("String table: ");
    if (at != std::string::npos) {
        const std::size_t end = start.trace.find(" (", at);
        const std::string path = start.trace.substr(at + 14, end - at - 14);
        start.stringTable = path.substr(path.rfind('\\') + 1);
    }
    return start;
}

TEST(LanguageChoice, RegistryValueComesFirst) {
    LanguageKey key;
    key.SetCode("fr");
    EXPECT_EQ(RunOrvix(key, "de", {"en", "fr", "de"}).stringTable, "SMfr.trs");
}

TEST(LanguageChoice, DefaultLangWhenTheRegistryHasNone) {
    LanguageKey key;
    EXPECT_EQ(RunOrvix(key, "de", {"en", "fr", "de"}).stringTable, "SMde.trs");
}

TEST(LanguageChoice, EnglishWhenNeitherIsSet) {
    LanguageKey key;
    EXPECT_EQ(RunOrvix(key, "", {"en", "fr", "de"}).stringTable, "SMen.trs");
}

TEST(LanguageChoice, EnglishWhenTheLanguageFileIsMissing) {
    LanguageKey key;
    key.SetCode("it");
    EXPECT_EQ(RunOrvix(key, "de", {"en", "fr", "de"}).stringTable, "SMen.trs");
}

TEST(LanguageChoice, OverlongRegistryValueCountsAsAbsent) {
    LanguageKey key;
    key.SetCode("abcdefghij");  // ten characters and a zero: more than the 10-byte buffer
    EXPECT_EQ(RunOrvix(key, "de", {"en", "de"}).stringTable, "SMde.trs");
}

// Wine exports GetUserGeoID; the program finds it at run time and maps the location to a
// country listed in the "Phone" section (Wine's default location is the United States).
TEST(StartCountry, FollowsTheUserGeoId) {
    LanguageKey key;
    const Start start = RunOrvix(key, "", {"en"});
    GEOID(*getUserGeoId)
    (GEOCLASS) = reinterpret_cast<GEOID (*)(GEOCLASS)>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetUserGeoID")));
    ASSERT_NE(getUserGeoId, nullptr);
    const GEOID geo = getUserGeoId(GEOCLASS_NATION);
    EXPECT_NE(start.trace.find("GeoID " + std::to_string(geo)), std::string::npos) << start.trace;
    if (geo == 244) {
        EXPECT_NE(start.trace.find("Current country: 0x0409"), std::string::npos) << start.trace;
    }
}

}  // namespace
}  // namespace orvix::wine
