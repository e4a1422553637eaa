// The portable profile reader must answer as the platform's profile functions do: both read
// the same fixture files here and every answer is compared.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/portable/PortableProfile.h"
#include "platform/win32/Win32Profile.h"
#include "tests/wine/WineSupport.h"

namespace orvix::wine {
namespace {

std::string Lines(std::initializer_list<const char*> lines, const char* end = "\r\n") {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += end;
    }
    return text;
}

std::string LongPhoneSection() {
    std::string text = "[Model]\r\nClass=Long\r\n[Phone]\r\n";
    for (int i = 0; i < 320; ++i) {
        text += std::to_string(0x400 + i) + "=555 01" + std::to_string(i % 100) + "\r\n";
    }
    return text + "[After]\r\nKey=after\r\n";
}

struct Fixture {
    const char* file;
    std::string content;
};

std::vector<Fixture> Fixtures() {
    const std::string caption300(300, 'c');
    const std::string quoted300 = "\"" + std::string(300, 'q') + "\"";
    const std::string exact254 = "\"" + std::string(254, 'e') + "\"";
    return {
        {"basic.ini", Lines({"[Model]",
                             "Class=  VelmarClass  ",
                             "Caption=\"Quoted Caption\"",
                             "Single='single quoted'",
                             "Mismatch=\"open only",
                             "Mixed=\"both'",
                             "Inner=a \"b\" c",
                             "Lone=\"",
                             "Empty=",
                             "  Spaced Key  =  value with spaces  ",
                             "NoEquals line",
                             "dup=first",
                             "DUP=second",
                             ";comment=hidden",
                             "\tTabbed\t=\tt\t",
                             "[model]",
                             "Class=second section",
                             "Extra=only in the second",
                             "[Language]",
                             "DefaultLang=abcdefghijklmnop",
                             "LangKey=Velmar",
                             "[DevMon]",
                             "VID=1234",
                             "PID=0x1F",
                             "Neg=-5",
                             "Big=99999999999",
                             "Junk=12abc",
                             "Blank=",
                             "Plus=+7",
                             "Lead=  42",
                             "Word=abc",
                             "[Phone]",
                             "409=555 0100",
                             "40C = 555 0101",
                             "NoEquals",
                             ";comment",
                             "=novalue",
                             "\"q\"=\"quoted\"",
                             "0409=",
                             "C0A=555=0102"})},
        {"limits.ini", "[Model]\r\nCaption=" + caption300 + "\r\nQuoted=" + quoted300 +
                           "\r\nExact=" + exact254 + "\r\n[Language]\r\nDefaultLang=\"de\"\r\n"},
        {"long.ini", LongPhoneSection()},
        {"empty.ini", ""},
        {"lf.ini", Lines({"[Model]", "Class=LfOnly", "[Phone]", "1=a", "2=b"}, "\n")},
        {"cr.ini", Lines({"[Model]", "Class=CrOnly", "Caption=x"}, "\r")},
        {"headers.ini",
         Lines({"top=before any section", "[ Spaced ]", "Key=spaced", "[NoClose", "Key=noclose",
                "[Trail]ing", "Key=trail", "[]", "Key=empty name", "[Model]", "Key=model"})},
        {"noeol.ini", "[Model]\r\nClass=NoEol"},
    };
}

const char* const kSections[] = {"Model",   "MODEL", "model", " Model ", "Language",
                                 "DevMon",  "Phone", "After", "Spaced",  " Spaced ",
                                 "NoClose", "Trail", "",      "Missing"};
const char* const kKeys[] = {"Class",        "class",         "Caption", "Single", "Mismatch",
                             "Mixed",        "Inner",         "Lone",    "Empty",  "Spaced Key",
                             " Spaced Key ", "NoEquals line", "dup",     "Tabbed", "Extra",
                             "DefaultLang",  "LangKey",       "VID",     "PID",    "Neg",
                             "Big",          "Junk",          "Blank",   "Plus",   "Lead",
                             "Word",         "Quoted",        "Exact",   "Key",    "top",
                             ";comment",     "Missing",       ""};
const std::size_t kBufferSizes[] = {1, 2, 4, 10, 255};
const std::size_t kSectionSizes[] = {4096, 2, 3, 4, 16, 40, 600};

// The list in a section buffer up to its terminating empty string.
std::string SectionList(const std::vector<char>& buffer) {
    for (std::size_t i = 0; i + 1 < buffer.size(); ++i) {
        if (buffer[i] == '\0' && buffer[i + 1] == '\0') {
            return std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(i + 2));
        }
    }
    return std::string(buffer.begin(), buffer.end());
}

std::string Printable(const std::string& text) {
    std::ostringstream out;
    for (char c : text) {
        if (c == '\0') {
            out << "\\0";
        } else {
            out << c;
        }
    }
    return out.str();
}

class ProfileComparison : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Fixture& fixture : Fixtures()) {
            ASSERT_TRUE(WriteFileBytes(dir / fixture.file, fixture.content));
            paths.push_back(dir / fixture.file);
        }
        paths.push_back(dir / "missing.ini");
        // Anchors: the platform really reads the fixtures, so agreement is not two empty answers.
        const std::string basic = dir / "basic.ini";
        ASSERT_EQ(platform.GetString(basic, "Model", "Class", "", 255), "VelmarClass");
        ASSERT_EQ(platform.GetInt(basic, "DevMon", "VID", 0), 1234u);
        ASSERT_EQ(SectionList(platform.GetSection(basic, "Language", 4096)),
                  std::string("DefaultLang=abcdefghijklmnop\0LangKey=Velmar\0\0", 45));
    }

    TempDir dir;
    std::vector<std::string> paths;
    win32::Win32Profile platform;
    PortableProfile portable;
};

TEST_F(ProfileComparison, StringReads) {
    int compared = 0;
    for (const std::string& path : paths) {
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                for (std::size_t size : kBufferSizes) {
                    // Defaults are cut and trimmed too; try them where cutting matters.
                    for (const char* fallback : {"", "def  ", "\"dq\""}) {
                        if (*fallback != '\0' && size != 4 && size != 255) {
                            continue;
                        }
                        EXPECT_EQ(portable.GetString(path, section, key, fallback, size),
                                  platform.GetString(path, section, key, fallback, size))
                            << path << " [" << section << "] " << key << " size " << size
                            << " default '" << fallback << "'";
                        ++compared;
                    }
                }
            }
        }
    }
    RecordProperty("compared", compared);
}

TEST_F(ProfileComparison, IntegerReads) {
    for (const std::string& path : paths) {
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                for (int fallback : {0, 7, -3}) {
                    EXPECT_EQ(portable.GetInt(path, section, key, fallback),
                              platform.GetInt(path, section, key, fallback))
                        << path << " [" << section << "] " << key << " default " << fallback;
                }
            }
        }
    }
}

TEST_F(ProfileComparison, SectionReads) {
    for (const std::string& path : paths) {
        for (const char* section : kSections) {
            for (std::size_t size : kSectionSizes) {
                const std::string mine = SectionList(portable.GetSection(path, section, size));
                const std::string theirs = SectionList(platform.GetSection(path, section, size));
                EXPECT_EQ(Printable(mine), Printable(theirs))
                    << path << " [" << section << "] size " << size;
            }
        }
    }
}

// The sample installation's own file through both readers.
TEST_F(ProfileComparison, SampleInstallation) {
    const std::string path = SourceDir() + "\\install\\Orvix.dat";
    for (const char* section : {"Model", "Language", "WebLink", "DevMon"}) {
        for (const char* key :
             {"Class", "Caption", "LinkModel", "LangKey", "DefaultLang", "Toner", "Name", "MDL"}) {
            EXPECT_EQ(portable.GetString(path, section, key, "", 255),
                      platform.GetString(path, section, key, "", 255));
        }
    }
    EXPECT_EQ(portable.GetInt(path, "DevMon", "VID", 0), platform.GetInt(path, "DevMon", "VID", 0));
    EXPECT_EQ(SectionList(portable.GetSection(path, "Phone", 4096)),
              SectionList(platform.GetSection(path, "Phone", 4096)));
    EXPECT_NE(platform.GetString(path, "Model", "Class", "", 255), "");
}

}  // namespace
}  // namespace orvix::wine
