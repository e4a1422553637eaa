// Start-up of the application object: the three start forms, the hand-off to a running
// instance, and the model configuration read by Initialize.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "monitor/MainFrame.h"
#include "monitor/OrvixApp.h"
#include "protocol/Protocol.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

constexpr const char* kConfig = "C:\\P\\Orvix.dat";

class StartupTest : public ::testing::Test {
protected:
    StartupTest() { platform.files.Put(kConfig, "[Model]\r\nClass=OrvixTest\r\n"); }
    COrvixApp& App() {
        if (!app) {
            app = std::make_unique<COrvixApp>(platform.Ports());
        }
        return *app;
    }
    void Running() { platform.windows.existing[{"OrvixTest", "OrvixTest"}] = 0x77; }

    test::FakePlatform platform;
    std::unique_ptr<COrvixApp> app;
};

struct CommandLineCase {
    const char* line;
    bool jobForm;
    const char* programName;
    const char* pipeName;
};

// The command-line shapes worth telling apart, parsed by GetInfoFromCommanLine.
TEST_F(StartupTest, CommandLineParsing) {
    const CommandLineCase cases[] = {
        {"/Orvix /\\\\.\\pipe\\Z880kFUS3", true, "Orvix", "\\\\.\\pipe\\Z880kFUS3"},
        {"/a bc", true, "a", "c"},
        {"/Orvix x", false, "Orvix", ""},
        {"/Orvix /", false, "Orvix", ""},
        {"/ /pipe", false, "", "pipe"},
        {"/Orvix", false, "", ""},
        {"Orvix /x /y", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        test::FakePlatform fresh;
        fresh.process.commandLine = c.line;
        COrvixApp application(fresh.Ports());
        EXPECT_EQ(application.GetInfoFromCommanLine(), c.jobForm) << c.line;
        EXPECT_EQ(application.programName, c.programName) << c.line;
        EXPECT_EQ(application.pipeName, c.pipeName) << c.line;
    }
}

struct StartFormCase {
    const char* line;
    enum { Job, Toner, Plain } form;
};

// What a running instance receives for each start form, and that the second start ends.
TEST_F(StartupTest, SecondInstanceHandsTheStartOver) {
    const StartFormCase cases[] = {
        {"/Orvix /\\\\.\\pipe\\Z880kFUS3", StartFormCase::Job},
        {"\"C:\\P\\Orvix.exe\"", StartFormCase::Toner},
        {"C:\\P\\Orvix.exe", StartFormCase::Toner},
        {"\"C:\\P\\Orvix.exe\" /x", StartFormCase::Plain},
        {"/Orvix", StartFormCase::Toner},
        {"/Orvix x", StartFormCase::Toner},
        {"/Orvix /", StartFormCase::Plain},
        {"/a bc", StartFormCase::Job},
    };
    for (const auto& c : cases) {
        test::FakePlatform fresh;
        fresh.process.commandLine = c.line;
        // The job form names the configuration after its program name.
        const std::string name = std::string(c.line).starts_with("/a ") ? "a" : "Orvix";
        fresh.files.Put("C:\\P\\" + name + ".dat", "[Model]\nClass=OrvixTest\n");
        fresh.windows.existing[{"OrvixTest", "OrvixTest"}] = 0x77;
        COrvixApp application(fresh.Ports());
        EXPECT_FALSE(application.InitInstance()) << c.line;
        EXPECT_TRUE(fresh.windows.framesCreated.empty()) << c.line;
        EXPECT_TRUE(fresh.windows.registeredClasses.empty()) << c.line;
        switch (c.form) {
            case StartFormCase::Job:
                ASSERT_EQ(fresh.windows.sent.size(), 1u) << c.line;
                EXPECT_EQ(fresh.windows.sent[0].copyDataId, CD_HANDOFF) << c.line;
                EXPECT_EQ(fresh.windows.sent[0].bytes.size(), 305u) << c.line;
                break;
            case StartFormCase::Toner:
                ASSERT_EQ(fresh.windows.sent.size(), 1u) << c.line;
                EXPECT_EQ(fresh.windows.sent[0].message, WM_SM_SHOW_ORDER_TONER) << c.line;
                break;
            case StartFormCase::Plain:
                EXPECT_TRUE(fresh.windows.sent.empty()) << c.line;
                break;
        }
    }
}

TEST_F(StartupTest, HandoffRecordLayout) {
    platform.process.commandLine = "/Orvix /\\\\.\\pipe\\Z880kFUS3";
    Running();
    ASSERT_FALSE(App().InitInstance());
    ASSERT_EQ(platform.windows.sent.size(), 1u);
    const auto& bytes = platform.windows.sent[0].bytes;
    ASSERT_EQ(bytes.size(), 305u);
    std::uint8_t expected[305] = {};
    std::memcpy(expected, "\\\\.\\pipe\\Z880kFUS3", 18);
    std::memcpy(expected + 255, "Orvix", 5);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), expected));
}

// Names that would not fit the hand-off record are not taken as a job start, never cut.
TEST_F(StartupTest, OversizedNamesAreNotAJobStart) {
    const std::string program49(49, 'p');
    const std::string program50(50, 'p');
    const std::string pipe254 = "\\\\.\\pipe\\" + std::string(254 - 9, 'x');
    const std::string pipe255 = pipe254 + "x";
    struct Case {
        std::string program, pipe;
        bool handedOver;
    } cases[] = {
        {program49, pipe254, true},
        {program50, pipe254, false},
        {program49, pipe255, false},
    };
    for (const auto& c : cases) {
        test::FakePlatform fresh;
        fresh.process.commandLine = "/" + c.program + " /" + c.pipe;
        fresh.files.Put("C:\\P\\" + c.program + ".dat", "[Model]\nClass=OrvixTest\n");
        fresh.files.Put("C:\\P\\Orvix.dat", "[Model]\nClass=OrvixTest\n");
        fresh.windows.existing[{"OrvixTest", "OrvixTest"}] = 0x77;
        COrvixApp application(fresh.Ports());
        EXPECT_FALSE(application.InitInstance());
        EXPECT_EQ(fresh.windows.sent.size(), c.handedOver ? 1u : 0u)
            << c.program.size() << "/" << c.pipe.size();
        if (c.handedOver) {
            const auto& bytes = fresh.windows.sent[0].bytes;
            EXPECT_EQ(bytes[254], 0) << "pipe name keeps its terminating zero";
            EXPECT_EQ(bytes[304], 0) << "program name keeps its terminating zero";
        } else {
            EXPECT_TRUE(application.pipeName.empty());
            EXPECT_FALSE(application.TonerMode()) << "the arguments hold a slash: plain start";
        }
    }
}

TEST_F(StartupTest, FirstInstancePlainStartCreatesOnlyTheHiddenWindow) {
    platform.process.commandLine = "\"C:\\P\\Orvix.exe\" /x";
    ASSERT_TRUE(App().InitInstance());
    EXPECT_EQ(platform.windows.registeredClasses, std::vector<std::string>{"OrvixTest"});
    EXPECT_EQ(platform.windows.framesCreated, std::vector<std::string>{"OrvixTest"});
    EXPECT_TRUE(platform.windows.dialogsCreated.empty());
    EXPECT_TRUE(platform.windows.shows.empty());
    EXPECT_TRUE(platform.windows.timers.empty()) << "no pipe to read";
}

TEST_F(StartupTest, FirstInstanceTonerModeOpensTheOrderWindow) {
    platform.process.commandLine = "\"C:\\P\\Orvix.exe\"";
    ASSERT_TRUE(App().InitInstance());
    EXPECT_EQ(platform.windows.dialogsCreated, std::vector<int>{132});
    ASSERT_EQ(platform.windows.shows.size(), 1u);
    EXPECT_EQ(platform.windows.shows[0].second, ShowCommand::Show);
    EXPECT_TRUE(App().m_ordertonerdlg.created);
    EXPECT_EQ(App().m_ordertonerdlg.shown, 1);
}

TEST_F(StartupTest, FirstInstanceJobFormStartsThePipeRead) {
    platform.process.commandLine = "/Orvix /\\\\.\\pipe\\Z880kFUS0";
    ASSERT_TRUE(App().InitInstance());
    ASSERT_NE(App().MainFrame(), nullptr);
    const auto timer = platform.windows.timers.find({App().MainFrame()->Handle(), SM_PIPE_TIMER});
    ASSERT_NE(timer, platform.windows.timers.end());
    EXPECT_EQ(timer->second, 100u);
}

// Without a class nothing could find or end the program: the start is refused.
TEST_F(StartupTest, EmptyClassRefusesTheStart) {
    platform.files.Remove(kConfig);
    for (const char* line : {"\"C:\\P\\Orvix.exe\"", "\"C:\\P\\Orvix.exe\" /x"}) {
        test::FakePlatform fresh;
        fresh.process.commandLine = line;
        fresh.files.Put(kConfig, "[Model]\nCaption=Only a caption\n");
        COrvixApp application(fresh.Ports());
        EXPECT_FALSE(application.InitInstance()) << line;
        EXPECT_TRUE(fresh.windows.registeredClasses.empty());
        EXPECT_TRUE(fresh.windows.framesCreated.empty());
        EXPECT_TRUE(fresh.windows.dialogsCreated.empty());
    }
}

struct BaseNameCase {
    const char* commandLine;
    const char* module;
    const char* programNameLine;  // non-null: a job form line instead
    const char* expectedPath;
};

TEST_F(StartupTest, ConfigurationFileName) {
    const BaseNameCase cases[] = {
        {nullptr, "C:\\P\\Orvix.exe", "/Orvix /\\\\.\\pipe\\X", "C:\\P\\Orvix.dat"},
        {"\"C:\\P\\Orvix.exe\"", "C:\\P\\Orvix.exe", nullptr, "C:\\P\\Orvix.dat"},
        {"C:\\Tools\\Monitor.exe /x", "C:\\P\\Orvix.exe", nullptr, "C:\\P\\Monitor.dat"},
        // No backslash, or no "." after the last one: the program's own file name.
        {"Orvix", "C:\\P\\Orvix.exe", nullptr, "C:\\P\\Orvix.dat"},
        {"orvix /x", "C:\\P\\Orvix.exe", nullptr, "C:\\P\\Orvix.dat"},
        {"\"C:\\P\\Orvix\"", "C:\\P\\Orvix.exe", nullptr, "C:\\P\\Orvix.dat"},
    };
    for (const auto& c : cases) {
        test::FakePlatform fresh;
        fresh.process.commandLine = c.programNameLine ? c.programNameLine : c.commandLine;
        fresh.process.moduleFileName = c.module;
        COrvixApp application(fresh.Ports());
        application.GetInfoFromCommanLine();
        application.Initialize();
        EXPECT_EQ(application.configPath, c.expectedPath) << fresh.process.commandLine;
    }
}

TEST_F(StartupTest, MissingFileLeavesDefaults) {
    platform.files.Remove(kConfig);
    platform.registry = {};
    App().Initialize();
    EXPECT_TRUE(App().modelClass.empty());
    EXPECT_TRUE(App().modelCaption.empty());
    EXPECT_TRUE(App().tonerUrl.empty());
    EXPECT_TRUE(App().linkModel.empty());
    EXPECT_TRUE(App().modelString.empty());
    EXPECT_EQ(App().devMonVid, 0);
    EXPECT_EQ(App().devMonPid, 0);
    EXPECT_TRUE(App().phoneList.empty());
    EXPECT_EQ(App().curLangID, 0x0409);
    EXPECT_EQ(platform.process.bitmapsLoaded,
              (std::vector<int>{153, 135, 136, 137, 138, 139, 152}));
}

TEST_F(StartupTest, ReadsEveryKeyWithItsLimits) {
    const std::string caption300(300, 'c');
    platform.files.Put(kConfig,
                       "[model]\nclass = OrvixTest\nCAPTION=" + caption300 +
                           "\nLinkModel='Z880k'\n"
                           "[Language]\nLangKey=\"Velmar Laser\"\nDefaultLang=abcdefghijkl\n"
                           "[WebLink]\nToner=https://shop.example/order\n"
                           "[DevMon]\nName=Velmar USB\nVID=70000\nPID=-1\nMDL=Laser Z880k\n");
    App().Initialize();
    EXPECT_EQ(App().modelClass, "OrvixTest");
    EXPECT_EQ(App().modelCaption, caption300.substr(0, 254));
    EXPECT_EQ(App().linkModel, "Z880k");
    EXPECT_EQ(App().langKey, "Velmar Laser");
    EXPECT_EQ(App().tonerUrl, "https://shop.example/order");
    EXPECT_EQ(App().devMonName, "Velmar USB");
    EXPECT_EQ(App().devMonVid, static_cast<std::uint16_t>(70000 & 0xFFFF));
    EXPECT_EQ(App().devMonPid, 0xFFFF);
    EXPECT_EQ(App().modelString, "Laser Z880k");
    EXPECT_EQ(App().languageCode, "abcdefghi") << "DefaultLang keeps 9 characters";
}

// The language: the driver's registry value first, "DefaultLang" otherwise, then the file
// name rule with its English fallback.
TEST_F(StartupTest, StringTableChoice) {
    const std::string config =
        "[Model]\nClass=OrvixTest\n[Language]\nLangKey=Velmar\nDefaultLang=de\n";
    struct Case {
        const char* registryCode;  // nullptr: no value
        bool frenchFile, germanFile;
        const char* expectedCode;
        const char* expectedLookup;
    } cases[] = {
        {"fr", true, true, "fr", "French"},
        {nullptr, true, true, "de", "German"},
        {"it", true, true, "it", "English"},
        {nullptr, true, false, "de", "English"},
    };
    for (const auto& c : cases) {
        test::FakePlatform fresh;
        fresh.process.commandLine = "\"C:\\P\\Orvix.exe\"";
        fresh.files.Put(kConfig, config);
        fresh.files.Put("C:\\P\\MulLang\\SMen.trs", "LANG \"English\"");
        if (c.frenchFile) {
            fresh.files.Put("C:\\P\\MulLang\\SMfr.trs", "LANG \"French\"");
        }
        if (c.germanFile) {
            fresh.files.Put("C:\\P\\MulLang\\SMde.trs", "LANG \"German\"");
        }
        if (c.registryCode) {
            fresh.registry.SetString(RegistryRoot::LocalMachine, "Software\\VuZaviv\\Velmar",
                                     "SmCntCode", c.registryCode);
        }
        COrvixApp application(fresh.Ports());
        application.Initialize();
        EXPECT_EQ(application.languageCode, c.expectedCode);
        char text[256] = {};
        EXPECT_TRUE(application.LookupString("LANG", text));
        EXPECT_STREQ(text, c.expectedLookup);
    }
}

TEST_F(StartupTest, PhoneSectionEntries) {
    platform.files.Put(kConfig,
                       "[Model]\nClass=OrvixTest\n[Phone]\n"
                       "409=555 0100\n40G=555 0101\n555 0102\nC0A=\n409 = spaced\n409=again\n");
    platform.files.Put("C:\\P\\MulLang\\SMen.trs",
                       "409 \"United States\" 40G \"Bad key\" C0A \"Spain\"");
    App().Initialize();
    struct Expected {
        std::int32_t code;
        const char* name;
        const char* phone;
    } expected[] = {
        {1033, "United States", "555 0100"},
        {-1, "Bad key", "555 0101"},
        {0, "", "555 0102"},
        {3082, "Spain", ""},
        // The portable reader, like the platform, trims the key of a section line.
        {1033, "United States", "spaced"},
        {1033, "United States", "again"},
    };
    ASSERT_EQ(App().phoneList.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(App().phoneList[i].code, expected[i].code) << i;
        EXPECT_EQ(App().phoneList[i].name, expected[i].name) << i;
        EXPECT_EQ(App().phoneList[i].phone, expected[i].phone) << i;
    }
    EXPECT_EQ(App().countryNames, (std::vector<std::string>{"", "Bad key", "Spain", "United States",
                                                            "United States", "United States"}));
}

TEST_F(StartupTest, CountryNamesSortButEntriesKeepFileOrder) {
    platform.files.Put(kConfig, "[Model]\nClass=OrvixTest\n[Phone]\n1=1\n2=2\n");
    platform.files.Put("C:\\P\\MulLang\\SMen.trs", "1 \"Zambia\" 2 \"Austria\"");
    App().Initialize();
    ASSERT_EQ(App().phoneList.size(), 2u);
    EXPECT_EQ(App().phoneList[0].name, "Zambia");
    EXPECT_EQ(App().countryNames, (std::vector<std::string>{"Austria", "Zambia"}));
}

// On a double-byte code page a lead byte and its trail byte sort as one character: the
// half-width katakana A (0xB1) comes before the full-width one (0x83 0x41), the reverse of
// plain byte order.
TEST_F(StartupTest, CountryNamesSortByTheCodePagesCharacters) {
    platform.files.Put(kConfig, "[Model]\nClass=OrvixTest\n[Phone]\n1=1\n2=2\n");
    platform.files.Put("C:\\P\\MulLang\\SMen.trs", "1 \"\x83\x41\" 2 \"\xB1\"");
    platform.locale.leadBytes = LeadByteSet::CodePage932();
    App().Initialize();
    EXPECT_EQ(App().countryNames, (std::vector<std::string>{"\xB1", "\x83\x41"}));
}

// A section longer than the 4096-byte buffer is cut by the reader; whatever arrives is used
// and nothing is read past the buffer.
TEST_F(StartupTest, LongPhoneSectionIsCut) {
    std::string config = "[Model]\nClass=OrvixTest\n[Phone]\n";
    for (int i = 0; i < 400; ++i) {
        config += std::to_string(1000 + i) + "=555 01" + std::to_string(i % 10) + "\n";
    }
    platform.files.Put(kConfig, config);
    App().Initialize();
    EXPECT_GT(App().phoneList.size(), 300u);
    EXPECT_LT(App().phoneList.size(), 400u);
    EXPECT_EQ(App().phoneList.front().phone, "555 010");
}

TEST_F(StartupTest, CurrentCountryFollowsTheRegionWhenListed) {
    platform.files.Put(kConfig, "[Model]\nClass=OrvixTest\n[Phone]\n409=1\n40C=2\n");
    platform.locale.geoId = 84;  // France
    App().Initialize();
    EXPECT_EQ(App().curLangID, 0x040C);
}

}  // namespace
}  // namespace orvix
