// The records, names and numbers that cross between the language monitor, Service and Orvix:
// their byte layout, and how a received record is read when it is short or malformed.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "monitor/OrvixApp.h"
#include "protocol/Protocol.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

// A received record of exactly `size` bytes on the heap, so that reading one byte past it is
// caught by the address sanitizer.
std::unique_ptr<std::uint8_t[]> Received(std::span<const std::uint8_t> whole, std::size_t size) {
    auto copy = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
    std::memcpy(copy.get(), whole.data(), std::min(size, whole.size()));
    return copy;
}

std::string Text(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(bytes.data()) + from, count);
}

TEST(JobInfoAnsi, FieldsStandAtTheirOffsetsWhateverTheirLengths) {
    const JobInfo job{"abc", "spare", "C:\\docs\\report.txt"};
    const JobInfoAnsiRecord record = BuildJobInfoAnsi(job);
    ASSERT_EQ(record.size(), 409u);
    EXPECT_EQ(Text(record, 0, 4), std::string("abc\0", 4));
    EXPECT_EQ(Text(record, 125, 6), std::string("spare\0", 6));
    EXPECT_EQ(Text(record, 253, 20), std::string("C:\\docs\\report.txt\0", 20));
    // Everything else is zero.
    std::size_t nonZero = 0;
    for (const auto byte : record) {
        nonZero += byte != 0;
    }
    EXPECT_EQ(nonZero, 3u + 5u + 18u);
    EXPECT_EQ(ParseJobInfoAnsi(record), job);
}

TEST(JobInfoAnsi, OversizedTextsAreCutInsideTheirSlots) {
    const JobInfo job{std::string(200, 'P'), std::string(200, 'S'), std::string(200, 'D')};
    const JobInfoAnsiRecord record = BuildJobInfoAnsi(job);
    EXPECT_EQ(Text(record, 0, 125), std::string(124, 'P') + '\0');
    EXPECT_EQ(Text(record, 125, 128), std::string(127, 'S') + '\0');
    EXPECT_EQ(Text(record, 253, 156), std::string(155, 'D') + '\0');
    EXPECT_EQ(ParseJobInfoAnsi(record),
              (JobInfo{std::string(124, 'P'), std::string(127, 'S'), std::string(155, 'D')}));
}

// A record with no terminating zero anywhere, cut to every length that matters: each field is
// what the record holds of its slot, at most slot - 1 characters, and nothing past the record
// is read.
TEST(JobInfoAnsi, ShortAndUnterminatedRecordsGiveCutFields) {
    std::vector<std::uint8_t> full(500, 0);
    std::memset(full.data(), 'P', 125);
    std::memset(full.data() + 125, 'S', 128);
    std::memset(full.data() + 253, 'D', 156);
    std::memset(full.data() + 409, 'X', 91);  // beyond the record: never part of a field
    struct Case {
        std::size_t size;
        std::size_t printer, spare, display;
    } cases[] = {
        {0, 0, 0, 0},       {1, 1, 0, 0},         {3, 3, 0, 0},         {124, 124, 0, 0},
        {125, 124, 0, 0},   {126, 124, 1, 0},     {252, 124, 127, 0},   {253, 124, 127, 0},
        {254, 124, 127, 1}, {408, 124, 127, 155}, {409, 124, 127, 155}, {500, 124, 127, 155},
    };
    for (const auto& c : cases) {
        const auto record = Received(full, c.size);
        const JobInfo job = ParseJobInfoAnsi({record.get(), c.size});
        EXPECT_EQ(job.printerName, std::string(c.printer, 'P')) << c.size;
        EXPECT_EQ(job.spareText, std::string(c.spare, 'S')) << c.size;
        EXPECT_EQ(job.displayText, std::string(c.display, 'D')) << c.size;
    }
}

TEST(JobInfoWide, FieldsAtCharacterOffsetsConvertToAnsi) {
    test::FakeTextConversion conversion;
    const JobInfoWideRecord wide =
        BuildJobInfoWide(u"abc", u"spare", u"C:\\docs\\r\u00e9sum\u00e9.txt");
    ASSERT_EQ(wide.size(), 818u);
    EXPECT_EQ(wide[0], 'a');
    EXPECT_EQ(wide[1], 0);
    EXPECT_EQ(wide[250], 's');
    EXPECT_EQ(wide[506], 'C');
    const JobInfo job = ParseJobInfoWide(wide, conversion);
    EXPECT_EQ(job, (JobInfo{"abc", "spare", "C:\\docs\\r\xe9sum\xe9.txt"}));

    // As Service stores it: three characters at bytes 0..2 and a zero at 3; the other fields
    // start at 125 and 253.
    const JobInfoAnsiRecord ansi = BuildJobInfoAnsi(job);
    EXPECT_EQ(Text(ansi, 0, 4), std::string("abc\0", 4));
    EXPECT_EQ(ansi[125], 's');
    EXPECT_EQ(ansi[253], 'C');
}

TEST(JobInfoWide, ShortOddAndUnterminatedRecordsGiveCutFields) {
    test::FakeTextConversion conversion;
    const JobInfoWideRecord full = BuildJobInfoWide(
        std::u16string(200, u'P'), std::u16string(200, u'S'), std::u16string(200, u'D'));
    // Fill the terminators too, so no field has its zero.
    std::vector<std::uint8_t> unterminated(full.begin(), full.end());
    for (std::size_t i = 0; i < unterminated.size(); i += 2) {
        if (unterminated[i] == 0) {
            unterminated[i] = 'Z';
        }
    }
    struct Case {
        std::size_t size;
        std::size_t printer, spare, display;
    } cases[] = {
        {0, 0, 0, 0},         {1, 0, 0, 0},       {2, 1, 0, 0},       {3, 1, 0, 0},
        {249, 124, 0, 0},     {250, 124, 0, 0},   {251, 124, 0, 0},   {252, 124, 1, 0},
        {505, 124, 127, 0},   {506, 124, 127, 0}, {508, 124, 127, 1}, {817, 124, 127, 155},
        {818, 124, 127, 155},
    };
    for (const auto& c : cases) {
        const auto record = Received(unterminated, c.size);
        const JobInfo job = ParseJobInfoWide({record.get(), c.size}, conversion);
        EXPECT_EQ(job.printerName.size(), c.printer) << c.size;
        EXPECT_EQ(job.spareText.size(), c.spare) << c.size;
        EXPECT_EQ(job.displayText.size(), c.display) << c.size;
        EXPECT_EQ(job.printerName.find_first_not_of('P'), std::string::npos) << c.size;
    }
}

// A code page where characters beyond ASCII take two bytes, as in the double-byte code pages.
class DoubleByteConversion final : public ITextConversion {
public:
    std::string WideToAnsi(std::u16string_view text) override {
        std::string ansi;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i];
            if (unit < 0x80) {
                ansi.push_back(static_cast<char>(unit));
            } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
                ansi.push_back('?');  // a pair becomes one default character
                ++i;
            } else {
                ansi.push_back('\x81');
                ansi.push_back(static_cast<char>(0x40 + (unit & 0x3F)));
            }
        }
        return ansi;
    }
};

TEST(JobInfoWide, ConversionLongerThanTheSlotEndsOnAWholeCharacter) {
    DoubleByteConversion conversion;
    struct Case {
        std::u16string printer;
        std::string expected;
    } cases[] = {
        // 123 + 2 bytes would need 125: the double-byte character goes whole.
        {std::u16string(123, u'a') + u'\u3042', std::string(123, 'a')},
        // 122 + 2 bytes fit 124 exactly.
        {std::u16string(122, u'a') + u'\u3042', std::string(122, 'a') + "\x81\x42"},
        // 62 double-byte characters fit, the 63rd does not.
        {std::u16string(100, u'\u3042'),
         [] {
             std::string s;
             for (int i = 0; i < 62; ++i) {
                 s += "\x81\x42";
             }
             return s;
         }()},
        // The 124th unit is the first half of a pair: dropped with it, not converted alone.
        {std::u16string(123, u'a') + u"\xD83D\xDE00" + u"bb", std::string(123, 'a')},
    };
    for (const auto& c : cases) {
        const JobInfoWideRecord wide = BuildJobInfoWide(c.printer, u"", u"");
        const JobInfo job = ParseJobInfoWide(wide, conversion);
        EXPECT_LE(job.printerName.size(), 124u);
        EXPECT_EQ(job.printerName, c.expected) << c.printer.size();
    }
    // Where a lone first half would still fit, it is not converted into a stray character.
    test::FakeTextConversion latin1;
    const JobInfoWideRecord wide =
        BuildJobInfoWide(std::u16string(123, u'a') + u"\xD83D\xDE00", u"", u"");
    EXPECT_EQ(ParseJobInfoWide(wide, latin1).printerName, std::string(123, 'a'));
}

TEST(OsClass, FromThePlainVersionRecord) {
    struct Case {
        std::optional<OsVersionInfo> version;
        int osClass;
        JobInfoEncoding encoding;
    } cases[] = {
        {std::nullopt, 0, JobInfoEncoding::None},
        {OsVersionInfo{1, 4, 0, 950}, 3, JobInfoEncoding::None},     // Windows 95
        {OsVersionInfo{1, 4, 10, 1998}, 1, JobInfoEncoding::Ansi},   // Windows 98
        {OsVersionInfo{1, 4, 90, 3000}, 1, JobInfoEncoding::Ansi},   // Windows Me
        {OsVersionInfo{2, 4, 0, 1381}, 4, JobInfoEncoding::None},    // NT 4
        {OsVersionInfo{2, 5, 0, 2195}, 2, JobInfoEncoding::Wide},    // Windows 2000
        {OsVersionInfo{2, 5, 1, 2600}, 5, JobInfoEncoding::Wide},    // XP
        {OsVersionInfo{2, 5, 2, 3790}, 5, JobInfoEncoding::Wide},    // Server 2003
        {OsVersionInfo{2, 6, 0, 6000}, 6, JobInfoEncoding::Ansi},    // Vista
        {OsVersionInfo{2, 6, 1, 7601}, 6, JobInfoEncoding::Ansi},    // 7
        {OsVersionInfo{2, 10, 0, 19045}, 3, JobInfoEncoding::None},  // 10
        {OsVersionInfo{2, 3, 51, 1057}, 3, JobInfoEncoding::None},   // NT 3.51
        {OsVersionInfo{3, 6, 1, 0}, 3, JobInfoEncoding::None},       // another platform
    };
    for (const auto& c : cases) {
        test::FakeVersion version;
        version.version = c.version;
        version.failExtended = true;  // the plain record is the one asked for
        const int osClass = GetOSClass(version);
        EXPECT_EQ(osClass, c.osClass)
            << (c.version ? c.version->major : 0) << "." << (c.version ? c.version->minor : 0);
        EXPECT_EQ(JobInfoEncodingFor(osClass), c.encoding) << osClass;
    }
}

TEST(PipeNameAndCommandLine, CounterAndFormat) {
    EXPECT_EQ(FormatPipeName(kPipeNameBase, 0), "\\\\.\\pipe\\Z880kFUS0");
    EXPECT_EQ(FormatPipeName(kPipeNameBase, 1), "\\\\.\\pipe\\Z880kFUS1");
    EXPECT_EQ(FormatPipeName(kPipeNameBase, -1), "\\\\.\\pipe\\Z880kFUS-1");

    const std::string pipe = FormatPipeName(kPipeNameBase, 12);
    const std::string line = FormatJobCommandLine("Orvix", pipe);
    EXPECT_EQ(line, "/Orvix /\\\\.\\pipe\\Z880kFUS12");
    // Orvix reads back what Service wrote.
    test::FakePlatform platform;
    platform.process.commandLine = line;
    COrvixApp app(platform.Ports());
    ASSERT_TRUE(app.GetInfoFromCommanLine());
    EXPECT_EQ(app.programName, "Orvix");
    EXPECT_EQ(app.pipeName, pipe);
}

TEST(PipeNameAndCommandLine, OnlyTheLocalPipeNamespaceIsAccepted) {
    struct Case {
        const char* name;
        bool local;
    } cases[] = {
        {"\\\\.\\pipe\\Z880kFUS3", true},
        {"\\\\.\\PIPE\\Z880kFUS3", true},
        {"\\\\.\\Pipe\\a.b c", true},
        {"\\\\.\\pipe\\", false},
        {"\\\\.\\pipe", false},
        {"", false},
        {"C:\\Users\\me\\secret.txt", false},
        {"secret.txt", false},
        {"\\\\server\\share\\file", false},
        {"\\\\server\\pipe\\Z880kFUS3", false},
        {"\\\\?\\pipe\\Z880kFUS3", false},
        {"\\\\.\\C:", false},
        {"\\\\.\\PhysicalDrive0", false},
        {"\\\\.\\pipeX\\a", false},
        {"//./pipe/Z880kFUS3", false},
        {"\\\\.\\pipe\\..\\C:\\secret.txt", false},
        {"\\\\.\\pipe\\a/../../C:/secret.txt", false},
        {"\\\\.\\pipe\\a\\b", false},
        {"\\\\.\\pipe\\..", false},
        {"\\\\.\\pipe\\. .", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsLocalPipeName(c.name), c.local) << c.name;
    }
}

TEST(HandoffRecordParse, ShortAndUnterminatedRecords) {
    HandoffRecord full = *HandoffRecord::Make("\\\\.\\pipe\\Z880kFUS3", "Orvix");
    std::string pipe;
    std::string program;
    struct Case {
        std::size_t size;
        const char* pipe;
        const char* program;
    } cases[] = {
        {0, "", ""},
        {10, "\\\\.\\pipe\\Z", ""},
        {255, "\\\\.\\pipe\\Z880kFUS3", ""},
        {258, "\\\\.\\pipe\\Z880kFUS3", "Orv"},
        {305, "\\\\.\\pipe\\Z880kFUS3", "Orvix"},
    };
    for (const auto& c : cases) {
        const auto record = Received(full.bytes, c.size);
        HandoffRecord::Parse({record.get(), c.size}, pipe, program);
        EXPECT_EQ(pipe, c.pipe) << c.size;
        EXPECT_EQ(program, c.program) << c.size;
    }
    // Without zeros the names stay inside their fields.
    std::memset(full.bytes.data(), 'x', full.bytes.size());
    HandoffRecord::Parse(full.bytes, pipe, program);
    EXPECT_EQ(pipe, std::string(254, 'x'));
    EXPECT_EQ(program, std::string(49, 'x'));
}

}  // namespace
}  // namespace orvix
