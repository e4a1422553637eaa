#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "status/StatusInfo.h"

namespace orvix {
namespace {

using Record = std::array<std::uint8_t, 8>;

StatusInfo Decoded(const std::vector<std::uint8_t>& bytes) {
    StatusInfo status;
    status.Decode(bytes.data(), bytes.size());
    return status;
}

Record WithStatus(int mainStatus, int sub1, int sub2) {
    return {0x01,
            static_cast<std::uint8_t>(mainStatus),
            static_cast<std::uint8_t>(sub1),
            static_cast<std::uint8_t>(sub2),
            0,
            50,
            20,
            0};
}

TEST(StatusInfoTest, NewObjectIsEmpty) {
    const StatusInfo status;
    EXPECT_EQ(status.StatusClass(), 0);
    EXPECT_EQ(status.MainStatus(), 0);
    EXPECT_EQ(status.GetTonerLevel(), 0);
    EXPECT_EQ(status.TonerSize(), 0);
    EXPECT_TRUE(status.ExtraText().empty());
    EXPECT_TRUE(status.Raw().empty());
}

struct ClassCase {
    std::uint8_t flags;
    std::uint8_t mainStatus;
    int statusClass;
};

TEST(StatusInfoTest, StatusClassFromFlagsFirstBitWins) {
    const ClassCase cases[] = {
        {0x00, 1, -1},
        {0x01, 1, 1},
        {0x02, 1, 2},
        {0x04, 1, 4},
        {0x05, 1, 1},
        {0x06, 1, 2},
        {0x07, 1, 1},
        {0xF8, 1, -1},
        {0xFC, 1, 4},
        // No printer answered: error class whatever the flags say.
        {0x01, 0, 4},
        {0x02, 0, 4},
        {0x00, 0, 4},
    };
    for (const ClassCase& c : cases) {
        const StatusInfo status = Decoded({c.flags, c.mainStatus, 1, 0, 0, 0, 0, 0});
        EXPECT_EQ(status.StatusClass(), c.statusClass)
            << "flags 0x" << std::hex << int{c.flags} << " main " << int{c.mainStatus};
        EXPECT_EQ(status.IsError(), c.statusClass == StatusInfo::kErrorClass);
    }
}

TEST(StatusInfoTest, AllZeroRecordIsCableOffError) {
    const StatusInfo status = Decoded(std::vector<std::uint8_t>(8, 0));
    EXPECT_EQ(status.StatusClass(), 4);
    EXPECT_EQ(status.GetStatusKey(), "SM_USB_CABLE_OFF");
    EXPECT_EQ(status.GetTonerLevel(), 0);
    EXPECT_EQ(status.TonerSize(), 0);
}

struct KeyCase {
    int mainStatus;
    int sub1;
    int sub2;
    const char* key;
};

TEST(StatusInfoTest, StatusKeys) {
    const KeyCase cases[] = {
        {0, 0, 0, "SM_USB_CABLE_OFF"},
        {0, 77, 200, "SM_USB_CABLE_OFF"},
        {1, 1, 0, "SM_READY"},
        {1, 1, 9, "SM_READY"},
        {1, 2, 0, ""},
        {1, 3, 0, "SM_POWERSAVE"},
        {1, 4, 0, "SM_PRINTING"},
        {1, 5, 0, "SM_WARMUPERR"},
        {1, 6, 0, ""},
        {2, 1, 0, ""},
        {3, 1, 0, "SM_PAPER_JAM"},
        {3, 1, 1, "SM_PAPER_JAM"},
        {3, 1, 2, "SM_PAPER_JAM0"},
        {3, 1, 3, "SM_PAPER_JAM"},
        {3, 1, 7, "SM_PAPER_JAM"},
        {3, 1, 8, "SM_PAPER_JAM1"},
        {3, 1, 9, "SM_PAPER_JAM2"},
        {3, 1, 10, "SM_PAPER_JAM"},
        {3, 1, 255, "SM_PAPER_JAM"},
        {3, 2, 8, "SM_PAPER_EMPTY"},
        {3, 3, 0, ""},
        {4, 1, 0, ""},
        {5, 1, 0, "SM_TONER_EMPTY"},
        {5, 2, 0, "SM_TONER_LOW"},
        {5, 3, 0, ""},
        {5, 4, 0, ""},
        {5, 5, 0, ""},
        {5, 6, 0, "SM_INVALID_TONER_KIT"},
        {5, 7, 0, "SM_TONERKIT_NOT_INSTALLED"},
        {6, 1, 0, ""},
        {6, 17, 0, "SM_MEMORY_OVERFLOW"},
        {7, 1, 0, ""},
        {8, 1, 0, "SM_FUSER_ERROR"},
        {8, 2, 0, "SM_LSU_ERROR"},
        {8, 3, 0, "SM_COVER_OPEN"},
        {8, 4, 0, "SM_OUTBIN_FULL"},
        {8, 5, 0, ""},
        {8, 12, 0, ""},
        {8, 13, 0, "SM_HEAT_ERROR"},
        {8, 14, 0, ""},
        {9, 1, 0, "SM_SCANNER_LOCKED_ERROR"},
        {9, 2, 0, ""},
        {10, 1, 0, ""},
        {11, 1, 2, ""},
        {255, 1, 0, ""},
    };
    for (const KeyCase& c : cases) {
        const Record record = WithStatus(c.mainStatus, c.sub1, c.sub2);
        StatusInfo status;
        status.Decode(record);
        EXPECT_EQ(status.GetStatusKey(), c.key)
            << "main " << c.mainStatus << " sub1 " << c.sub1 << " sub2 " << c.sub2;
    }
}

TEST(StatusInfoTest, KeyIgnoresClassTonerAndText) {
    // Ready, with every other byte at an extreme.
    const StatusInfo status = Decoded({0xFF, 1, 1, 0xFF, 0xFF, 0xFF, 0xFF, 1, 'X', 0});
    EXPECT_EQ(status.GetStatusKey(), "SM_READY");
}

TEST(StatusInfoTest, FieldsAreUnsignedBytes) {
    const StatusInfo status = Decoded({0x00, 1, 1, 0, 0x80, 100, 20, 0});
    EXPECT_EQ(status.StatusClass(), -1);
    EXPECT_EQ(status.GetStatusKey(), "SM_READY");
    EXPECT_EQ(status.GetTonerLevel(), 100);
    EXPECT_EQ(status.TonerSize(), 20);

    const StatusInfo high = Decoded({0x01, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0});
    EXPECT_EQ(high.MainStatus(), 254);
    EXPECT_EQ(high.SubStatus1(), 253);
    EXPECT_EQ(high.SubStatus2(), 252);
    EXPECT_EQ(high.GetTonerLevel(), 250);
    EXPECT_EQ(high.TonerSize(), 249);
}

TEST(StatusInfoTest, ExtraTextFromLongRecord) {
    const StatusInfo status = Decoded({0x01, 1, 1, 0, 0, 50, 20, 1, 'A', 'B', 'C', 0});
    EXPECT_EQ(status.ExtraText(), "ABC");
    // The raw copy is one byte longer than the record, zero-filled.
    ASSERT_EQ(status.Raw().size(), 13u);
    EXPECT_EQ(status.Raw()[12], 0);
}

TEST(StatusInfoTest, ExtraTextWithoutTerminatorEndsWithRecord) {
    const StatusInfo status = Decoded({0x01, 1, 1, 0, 0, 50, 20, 1, 'A', 'B', 'C', 'D'});
    EXPECT_EQ(status.ExtraText(), "ABCD");
}

TEST(StatusInfoTest, ExtraTextKeptWhenNotSent) {
    StatusInfo status;
    const std::vector<std::uint8_t> withText = {0x01, 1, 1, 0, 0, 50, 20, 1, 'A', 'B', 'C', 0};
    status.Decode(withText.data(), withText.size());
    ASSERT_EQ(status.ExtraText(), "ABC");

    // Byte 7 set in an 8-byte record: nothing follows, the old text stays.
    const std::vector<std::uint8_t> shortFlagged = {0x01, 1, 4, 0, 0, 40, 20, 1};
    status.Decode(shortFlagged.data(), shortFlagged.size());
    EXPECT_EQ(status.ExtraText(), "ABC");
    EXPECT_EQ(status.GetStatusKey(), "SM_PRINTING");

    // A long record with byte 7 zero: the text is not taken either.
    const std::vector<std::uint8_t> unflagged = {0x01, 1, 1, 0, 0, 40, 20, 0, 'X', 'Y', 0};
    status.Decode(unflagged.data(), unflagged.size());
    EXPECT_EQ(status.ExtraText(), "ABC");
}

TEST(StatusInfoTest, ShortRecordIsPaddedWithZeros) {
    // Main status 1 and sub-status 1, then nothing: the missing bytes read as zero.
    const StatusInfo three = Decoded({0x02, 1, 1});
    EXPECT_EQ(three.StatusClass(), 2);
    EXPECT_EQ(three.GetStatusKey(), "SM_READY");
    EXPECT_EQ(three.GetTonerLevel(), 0);
    EXPECT_EQ(three.TonerSize(), 0);
    ASSERT_EQ(three.Raw().size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(three.Raw().begin(), three.Raw().end()),
              (std::vector<std::uint8_t>{0x02, 1, 1, 0, 0, 0, 0, 0}));

    StatusInfo empty;
    empty.Decode(nullptr, 0);
    EXPECT_EQ(empty.StatusClass(), 4);
    EXPECT_EQ(empty.GetStatusKey(), "SM_USB_CABLE_OFF");
    EXPECT_EQ(empty.Raw().size(), 8u);
}

TEST(StatusInfoTest, ClearKeepsTextAndRaw) {
    StatusInfo status = Decoded({0x04, 8, 3, 0, 0, 60, 30, 1, 'Z', 0});
    status.Clear();
    EXPECT_EQ(status.StatusClass(), 0);
    EXPECT_EQ(status.MainStatus(), 0);
    EXPECT_EQ(status.SubStatus1(), 0);
    EXPECT_EQ(status.GetTonerLevel(), 0);
    EXPECT_EQ(status.TonerSize(), 0);
    EXPECT_EQ(status.ExtraText(), "Z");
    EXPECT_EQ(status.Raw().size(), 11u);
    EXPECT_EQ(status.Raw()[1], 8);
}

TEST(StatusInfoTest, CopiesOwnTheirRawBytes) {
    StatusInfo status;
    const Record first = {0x01, 1, 1, 0, 0, 90, 20, 0};
    const Record second = {0x04, 8, 3, 0, 0, 10, 20, 0};
    status.Decode(first);
    const StatusInfo copy = status;
    StatusInfo assigned;
    assigned = status;
    status.Decode(second);

    EXPECT_EQ(status.Raw()[1], 8);
    EXPECT_EQ(status.GetStatusKey(), "SM_COVER_OPEN");
    for (const StatusInfo* snapshot : std::initializer_list<const StatusInfo*>{&copy, &assigned}) {
        ASSERT_EQ(snapshot->Raw().size(), 8u);
        EXPECT_NE(snapshot->Raw().data(), status.Raw().data());
        EXPECT_EQ(snapshot->Raw()[1], 1);
        EXPECT_EQ(snapshot->GetStatusKey(), "SM_READY");
        EXPECT_EQ(snapshot->GetTonerLevel(), 90);
    }
}

TEST(StatusInfoTest, SecondDecodeReplacesRaw) {
    StatusInfo status;
    const std::vector<std::uint8_t> longRecord = {0x01, 1, 1, 0, 0, 50, 20, 1, 'A', 'B', 0};
    status.Decode(longRecord.data(), longRecord.size());
    const Record plain = {0x01, 5, 2, 0, 0, 15, 20, 0};
    status.Decode(plain);
    EXPECT_EQ(std::vector<std::uint8_t>(status.Raw().begin(), status.Raw().end()),
              std::vector<std::uint8_t>(plain.begin(), plain.end()));
    EXPECT_EQ(status.GetStatusKey(), "SM_TONER_LOW");
}

}  // namespace
}  // namespace orvix
