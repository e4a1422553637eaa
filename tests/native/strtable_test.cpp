#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "localization/StrTableList.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Parsed(std::string_view bytes) {
    CStrTableList table;
    table.Parse(bytes);
    Pairs pairs;
    for (const StrTableEntry& entry : table.Entries()) {
        pairs.emplace_back(entry.key, entry.value);
    }
    return pairs;
}

struct GrammarCase {
    const char* name;
    std::string bytes;
    Pairs expected;
};

TEST(StrTableParseTest, Grammar) {
    using namespace std::string_literals;
    const GrammarCase cases[] = {
        {"quoted", "KEY \"Text\"", {{"KEY", "Text"}}},
        {"semicolons", "KEY ;Text;", {{"KEY", "Text"}}},
        {"no blank before value", "KEY\"Text\"", {{"KEY", "Text"}}},
        {"blanks inside key vanish", "K E\tY\r\n\"Text\"", {{"KEY", "Text"}}},
        {"equals sign stays in key", "KEY=\"Text\"", {{"KEY=", "Text"}}},
        {"two values in a row", "KEY \"One\" \"Two\"", {{"KEY", "One"}, {"", "Two"}}},
        {"semicolon inside quotes", "K \"a;b\"", {{"K", "a;b"}}},
        {"quote inside semicolons", "K ;say \"hi\";", {{"K", "say \"hi\""}}},
        {"line break inside value", "K \"one\r\ntwo\"", {{"K", "one\r\ntwo"}}},
        {"blanks inside value kept", "K \"  a\tb  \"", {{"K", "  a\tb  "}}},
        {"empty value", "K \"\"", {{"K", ""}}},
        {"unterminated value", "A \"x\" B \"to the end\r\n", {{"A", "x"}, {"B", "to the end\r\n"}}},
        {"trailing key makes no entry", "A \"x\"\r\nDANGLING", {{"A", "x"}}},
        {"only a key", "KEY", {}},
        {"only blanks", " \t\r\n", {}},
        {"empty file", "", {}},
        {"value opener at end", "K \"", {{"K", ""}}},
        {"zero bytes are ordinary", "K\0Y \"a\0b\""s, {{"K\0Y"s, "a\0b"s}}},
        {"high bytes are ordinary", "K\xE9 \"caf\xE9\"", {{"K\xE9", "caf\xE9"}}},
        {"file order and duplicates",
         "A \"1\"\nB \"2\"\nA \"3\"",
         {{"A", "1"}, {"B", "2"}, {"A", "3"}}},
        {"usual lines",
         "COMMON_BTN_CLOSE \"Close\"\r\nSM_READY \"Ready\"\r\n",
         {{"COMMON_BTN_CLOSE", "Close"}, {"SM_READY", "Ready"}}},
    };
    for (const GrammarCase& c : cases) {
        EXPECT_EQ(Parsed(c.bytes), c.expected) << c.name;
    }
}

TEST(StrTableParseTest, KeyLengthLimit) {
    const std::string key51(51, 'K');
    const std::string key52(52, 'K');
    // A key of 52 bytes is dropped with its value, and must not shadow the 51-byte key that
    // follows it (which is what cutting it would do).
    const Pairs pairs = Parsed(key52 + " \"long\"\n" + key51 + " \"fits\"\n" + "NEXT \"after\"");
    EXPECT_EQ(pairs, (Pairs{{key51, "fits"}, {"NEXT", "after"}}));

    // Blanks inside a key do not count towards its length.
    const std::string spaced = std::string(25, 'A') + " \r\n " + std::string(26, 'A');
    EXPECT_EQ(Parsed(spaced + " \"v\""), (Pairs{{std::string(51, 'A'), "v"}}));
}

TEST(StrTableParseTest, ValueLengthLimit) {
    const std::string fits(4095, 'v');
    const std::string tooLong = std::string(4095, 'w') + "XYZ";
    const Pairs pairs = Parsed("A \"" + fits + "\" B \"" + tooLong + "\" C ;after;");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0].second, fits);
    // Cut to its first 4095 bytes; the rest of the value is skipped, not read as a key.
    EXPECT_EQ(pairs[1].second, std::string(4095, 'w'));
    EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"C", "after"}));
}

TEST(StrTableParseTest, EntryLimit) {
    std::string bytes;
    for (std::size_t i = 0; i < CStrTableList::kMaxEntries + 3; ++i) {
        bytes += "K" + std::to_string(i) + " \"v" + std::to_string(i) + "\"\n";
    }
    CStrTableList table;
    table.Parse(bytes);
    ASSERT_EQ(table.Count(), 65535u);
    std::array<char, 16> buffer{};
    EXPECT_TRUE(table.Lookup("K65534", buffer));
    EXPECT_STREQ(buffer.data(), "v65534");
    EXPECT_FALSE(table.Lookup("K65535", buffer));
    EXPECT_STREQ(buffer.data(), "v65534");

    // A later parse cannot grow a full table either.
    table.Parse("EXTRA \"x\"");
    EXPECT_EQ(table.Count(), 65535u);
    EXPECT_FALSE(table.Lookup("EXTRA", buffer));
}

TEST(StrTableParseTest, BinaryGarbageNeverOverflows) {
    std::string garbage;
    std::uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(state >> 24));
    }
    CStrTableList table;
    table.Parse(garbage);
    ASSERT_GT(table.Count(), 0u);
    for (const StrTableEntry& entry : table.Entries()) {
        EXPECT_LE(entry.key.size(), CStrTableList::kMaxKeyBytes);
        EXPECT_LE(entry.value.size(), CStrTableList::kMaxValueBytes);
    }
    std::array<char, 4> small{};
    const StrTableEntry& first = table.Entries().front();
    EXPECT_TRUE(table.Lookup(first.key, small));
    EXPECT_EQ(small[3], '\0');
}

class StrTableLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.Parse("SM_READY \"Ready\"\nSM_READY \"Second\"\nLONG \"0123456789\"\n\"empty\"");
    }
    CStrTableList table;
};

TEST_F(StrTableLookupTest, FirstMatchWithCaseAndLength) {
    std::array<char, 256> buffer{};
    EXPECT_TRUE(table.Lookup("SM_READY", buffer));
    EXPECT_STREQ(buffer.data(), "Ready");
    EXPECT_TRUE(table.Lookup("", buffer));
    EXPECT_STREQ(buffer.data(), "empty");

    for (const char* missing : {"sm_ready", "SM_READ", "SM_READY ", "SM_READYX", "LON"}) {
        std::strcpy(buffer.data(), "untouched");
        EXPECT_FALSE(table.Lookup(missing, buffer)) << missing;
        EXPECT_STREQ(buffer.data(), "untouched") << missing;
    }
}

TEST_F(StrTableLookupTest, SmallBuffersAreCutNeverOverrun) {
    struct Case {
        std::size_t size;
        const char* expected;
    };
    const Case cases[] = {
        {11, "0123456789"}, {12, "0123456789"}, {10, "012345678"}, {2, "0"}, {1, ""}};
    for (const Case& c : cases) {
        std::vector<char> storage(c.size + 4, '#');
        EXPECT_TRUE(table.Lookup("LONG", std::span<char>(storage.data(), c.size)));
        EXPECT_STREQ(storage.data(), c.expected) << c.size;
        // Nothing after the given span is written.
        for (std::size_t i = c.size; i < storage.size(); ++i) {
            EXPECT_EQ(storage[i], '#') << c.size << " at " << i;
        }
    }
    char untouched = '#';
    EXPECT_TRUE(table.Lookup("LONG", std::span<char>(&untouched, 0)));
    EXPECT_EQ(untouched, '#');
}

TEST_F(StrTableLookupTest, CleanupEmptiesTheTable) {
    table.Cleanup();
    EXPECT_EQ(table.Count(), 0u);
    std::array<char, 256> buffer{};
    std::strcpy(buffer.data(), "kept");
    EXPECT_FALSE(table.Lookup("SM_READY", buffer));
    EXPECT_STREQ(buffer.data(), "kept");
}

TEST(StrTableLoadTest, LoadAppendsAndReportsMissingFile) {
    test::FakeFiles files;
    files.Put("C:\\P\\MulLang\\SMen.trs", "A \"1\"\r\nB \"2\"\r\n");
    files.Put("C:\\P\\MulLang\\SMxx.trs", "A \"other\"\r\nC \"3\"");
    files.Put("C:\\P\\MulLang\\empty.trs", "");

    CStrTableList table;
    EXPECT_FALSE(table.Load("C:\\P\\MulLang\\missing.trs", files));
    EXPECT_EQ(table.Count(), 0u);

    EXPECT_TRUE(table.Load("C:\\P\\MulLang\\empty.trs", files));
    EXPECT_EQ(table.Count(), 0u);

    EXPECT_TRUE(table.Load("C:\\P\\MulLang\\SMen.trs", files));
    EXPECT_TRUE(table.Load("C:\\P\\MulLang\\SMxx.trs", files));
    EXPECT_FALSE(table.Load("C:\\P\\MulLang\\missing.trs", files));
    ASSERT_EQ(table.Count(), 4u);
    std::array<char, 8> buffer{};
    EXPECT_TRUE(table.Lookup("A", buffer));
    EXPECT_STREQ(buffer.data(), "1");  // the earlier file's pair comes first
    EXPECT_TRUE(table.Lookup("C", buffer));
    EXPECT_STREQ(buffer.data(), "3");
}

TEST(StrTableLoadTest, SingleUnterminatedValue) {
    test::FakeFiles files;
    files.Put("one.trs", "OTCWND_STR_NOTE \"Call us;\r\nany day");
    CStrTableList table;
    ASSERT_TRUE(table.Load("one.trs", files));
    std::array<char, 256> buffer{};
    ASSERT_TRUE(table.Lookup("OTCWND_STR_NOTE", buffer));
    EXPECT_STREQ(buffer.data(), "Call us;\r\nany day");
}

}  // namespace
}  // namespace orvix
