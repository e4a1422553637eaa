// Finding the printer on the USB bus and the two vendor requests, against a scripted bus.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "status/UsbPrinter.h"
#include "tests/fakes/FakeUsbBus.h"

namespace orvix {
namespace {

using test::FakeDebugOutput;
using test::FakeUsbBus;
using Record = std::array<std::uint8_t, 8>;

constexpr char kModel[] = "Laser Z880k";
constexpr char kDeviceId[] = "MFG:Velmar;CMD:GDI;MDL:Laser Z880k Series;CLS:PRINTER;";
constexpr Record kReady = {0x01, 0x01, 0x01, 0x00, 0x00, 0x50, 0x02, 0x00};
constexpr Record kPaperJam = {0x04, 0x03, 0x01, 0x08, 0x00, 0x40, 0x02, 0x00};

class UsbPrinterTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Whatever path a test took, every set and device opened was closed once, and no
        // request ever went to a closed device.
        EXPECT_TRUE(usb.Balanced());
        EXPECT_EQ(usb.requestsOnClosed, 0);
    }

    FakeUsbBus::Device& Printer(const std::string& path, const Record& status = kReady,
                                const std::string& deviceId = kDeviceId) {
        FakeUsbBus::Device& device = usb.AddPrinter(path, deviceId);
        device.status = status;
        return device;
    }

    void Store(const std::string& path) {
        devicePath.fill('\0');
        std::copy(path.begin(), path.end(), devicePath.begin());
    }
    std::string Stored() const { return std::string(DevicePathText(devicePath)); }

    bool ReadStatus() { return GetStatusData(access, record); }

    FakeUsbBus usb;
    FakeDebugOutput debug;
    std::string model = kModel;
    DevicePath devicePath{};
    UsbPrinterAccess access{usb, debug, model, devicePath};
    Record record{};
};

TEST_F(UsbPrinterTest, FirstRequestSearchesStoresThePathAndSendsTheVendorRequest) {
    FakeUsbBus::Device& device = Printer("\\\\?\\usb#printer0", kPaperJam);

    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(record, kPaperJam);
    EXPECT_EQ(Stored(), "\\\\?\\usb#printer0");
    EXPECT_EQ(device.lastRequestCode, 0x02);
    EXPECT_EQ(device.lastInputSize, 3u);
    EXPECT_EQ((device.lastInputHead), (std::array<std::uint8_t, 3>{0x02, 0, 0}));
    EXPECT_EQ(device.lastOutputSize, 8u);

    Record tag{};
    device.serviceTag = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 0};
    ASSERT_TRUE(GetServiceTagData(access, tag));
    EXPECT_EQ((device.lastInputHead), (std::array<std::uint8_t, 3>{0x03, 0, 0}));
    EXPECT_EQ(ServiceTagText(tag), "ABCDEFG");
    EXPECT_EQ(usb.setsOpened, 1) << "the second request used the stored path";
    EXPECT_TRUE(debug.lines.empty());
}

TEST_F(UsbPrinterTest, TwoMatchingPrintersTheLowerIndexWinsEveryTime) {
    Printer("path-first", kReady);
    FakeUsbBus::Device& second = Printer("path-second", kPaperJam);

    for (int round = 0; round < 3; ++round) {
        devicePath.fill('\0');  // force a search each round
        ASSERT_TRUE(ReadStatus());
        EXPECT_EQ(Stored(), "path-first");
        EXPECT_EQ(record, kReady);
    }
    EXPECT_EQ(second.openAttempts, 0) << "later printers of the model are never looked at";
}

TEST_F(UsbPrinterTest, StoredPathThatMovedIsFoundAgainInTheSameCall) {
    FakeUsbBus::Device& old = Printer("port-1");
    ASSERT_TRUE(ReadStatus());
    ASSERT_EQ(Stored(), "port-1");

    // Unplugged and plugged into another port: the old path no longer opens.
    old.opens = false;
    usb.interfaces.clear();
    FakeUsbBus::Device& moved = Printer("port-2", kPaperJam);

    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(record, kPaperJam);
    EXPECT_EQ(Stored(), "port-2");
    EXPECT_EQ(usb.setsOpened, 2) << "exactly one more search";
    EXPECT_EQ(moved.vendorRequests, 1);

    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(usb.setsOpened, 2) << "the new path is used from now on";
}

TEST_F(UsbPrinterTest, UnpluggedPrinterFailsAfterOneSearchAndKeepsTheStoredPath) {
    FakeUsbBus::Device& device = Printer("port-1");
    ASSERT_TRUE(ReadStatus());
    device.opens = false;

    record.fill(0x55);
    EXPECT_FALSE(ReadStatus());
    EXPECT_EQ(record, Record{}) << "a failed read leaves zeros";
    EXPECT_EQ(Stored(), "port-1") << "a failed search writes nothing";
    EXPECT_EQ(usb.setsOpened, 2);
}

TEST_F(UsbPrinterTest, FoundPathThatThenFailsToOpenIsNotRetried) {
    FakeUsbBus::Device& device = Printer("port-1");
    device.opensLeft = 1;  // opens for the device ID, then no more

    EXPECT_FALSE(ReadStatus());
    EXPECT_EQ(Stored(), "port-1") << "the search itself succeeded";
    EXPECT_EQ(device.openAttempts, 2);
    EXPECT_EQ(device.vendorRequests, 0);
    EXPECT_EQ(usb.setsOpened, 1);
}

TEST_F(UsbPrinterTest, StoredPathWithoutItsZeroCountsAsEmpty) {
    devicePath.fill('x');
    Printer("port-1");
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(Stored(), "port-1");
    EXPECT_EQ(usb.unknownOpens, 0) << "the unterminated text was never handed to the bus";
}

TEST_F(UsbPrinterTest, FailedVendorRequestGivesFalseZerosAndClosesTheDevice) {
    FakeUsbBus::Device& device = Printer("port-1");
    ASSERT_TRUE(ReadStatus());
    device.requestFails = true;  // and scribbles on the reply

    EXPECT_FALSE(ReadStatus());
    EXPECT_EQ(record, Record{});
    EXPECT_EQ(device.openNow, 0);
    EXPECT_EQ(usb.setsOpened, 1) << "the device opened, so no search";

    Record tag{};
    EXPECT_FALSE(GetServiceTagData(access, tag));
    EXPECT_EQ(tag, Record{});
}

TEST_F(UsbPrinterTest, ShortReplyKeepsOnlyTheBytesReported) {
    FakeUsbBus::Device& device = Printer("port-1", kPaperJam);
    device.replyReturned = 4;
    ASSERT_TRUE(ReadStatus());
    EXPECT_EQ(record, (Record{0x04, 0x03, 0x01, 0x08, 0, 0, 0, 0}));
}

TEST_F(UsbPrinterTest, SetThatCannotBeHadWritesTheDebuggerMessage) {
    Store("kept");
    usb.setFails = true;
    usb.setError = 5;

    EXPECT_FALSE(FindPrinterDevice(usb, debug, devicePath, model));
    ASSERT_EQ(debug.lines.size(), 1u);
    EXPECT_EQ(debug.lines[0], "QvUSBOPEN: SetupDiGetClassDevs fail!! (5)\n");
    EXPECT_EQ(Stored(), "kept");
}

TEST_F(UsbPrinterTest, EmptyModelStringNeverMatchesAndDecodesAsCableOff) {
    model.clear();
    Printer("port-1");

    StatusInfo status;
    EXPECT_FALSE(ReadPrinterStatus(access, status));
    EXPECT_EQ(status.GetStatusKey(), "SM_USB_CABLE_OFF");
    EXPECT_TRUE(status.IsError());
    EXPECT_EQ(Stored(), "");
}

TEST_F(UsbPrinterTest, StatusForOrderTonerDecodesTheFreshRecord) {
    Printer("port-1", kPaperJam);
    StatusInfo status;
    EXPECT_TRUE(ReadPrinterStatus(access, status));
    EXPECT_EQ(status.GetStatusKey(), "SM_PAPER_JAM1");
    EXPECT_EQ(status.GetTonerLevel(), 0x40);
}

// The search's way through the interfaces: what the first interface does decides whether the
// second (a matching printer) is reached.
struct SearchCase {
    const char* name;
    std::uint32_t firstEnum;
    bool firstDetailFails;
    bool firstOpens;
    bool firstIdFails;
    std::optional<std::uint32_t> firstIdReported;  // 0: an empty reply
    const char* firstDeviceId;
    bool secondFound;
};
void PrintTo(const SearchCase& c, std::ostream* out) {
    *out << c.name;
}

class SearchTest : public UsbPrinterTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchTest, FirstInterfaceDecidesWhetherTheSecondIsReached) {
    const SearchCase& c = GetParam();
    FakeUsbBus::Device& first = Printer("first", kPaperJam, c.firstDeviceId);
    usb.interfaces[0].enumResult = c.firstEnum;
    usb.interfaces[0].detailFails = c.firstDetailFails;
    first.opens = c.firstOpens;
    first.idFails = c.firstIdFails;
    first.idReturned = c.firstIdReported;
    const FakeUsbBus::Device& second = Printer("second", kReady);
    Store("kept");

    EXPECT_EQ(FindPrinterDevice(usb, debug, devicePath, model), c.secondFound);
    EXPECT_EQ(Stored(), c.secondFound ? "second" : "kept");
    if (!c.secondFound) {
        EXPECT_EQ(second.openAttempts, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Interfaces, SearchTest,
    ::testing::Values(
        SearchCase{"OtherEnumErrorIsSkipped", 13, false, true, false, {}, kDeviceId, true},
        SearchCase{"NoMoreItemsStops", kUsbNoMoreItems, false, true, false, {}, kDeviceId, false},
        SearchCase{"FailedDetailStops", kUsbEnumOk, true, true, false, {}, kDeviceId, false},
        SearchCase{"UnopenableIsSkipped", kUsbEnumOk, false, false, false, {}, kDeviceId, true},
        SearchCase{"FailedIdIsSkipped", kUsbEnumOk, false, true, true, {}, kDeviceId, true},
        SearchCase{"EmptyIdIsSkipped", kUsbEnumOk, false, true, false, 0u, kDeviceId, true},
        SearchCase{"OtherModelIsSkipped",
                   kUsbEnumOk,
                   false,
                   true,
                   false,
                   {},
                   "MFG:Velmar;MDL:CLP-300;",
                   true},
        SearchCase{"OtherCaseIsSkipped",
                   kUsbEnumOk,
                   false,
                   true,
                   false,
                   {},
                   "MFG:Velmar;MDL:laser z880k Series;",
                   true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(UsbPrinterTest, EnumerationThatNeverEndsStillEnds) {
    usb.pastEndResult = 13;  // every index fails, never "no more items"
    EXPECT_FALSE(FindPrinterDevice(usb, debug, devicePath, model));
    EXPECT_LT(usb.enumCalls, 100000);
}

// A path is stored whole with its zero or not at all: 254 characters fit, longer ones are
// passed over for the next printer.
TEST_F(UsbPrinterTest, OverlongMatchingPathsAreSkipped) {
    const std::string fits(254, 'a');
    for (const std::size_t length : {255u, 300u, 1000u}) {
        SCOPED_TRACE(length);
        usb = FakeUsbBus();
        devicePath.fill('\0');
        const FakeUsbBus::Device& longOne = Printer(std::string(length, 'L'));
        Printer(fits);
        ASSERT_TRUE(FindPrinterDevice(usb, debug, devicePath, model));
        EXPECT_EQ(Stored(), fits);
        EXPECT_EQ(devicePath[254], '\0');
        EXPECT_EQ(longOne.openAttempts, 0);
    }
    usb = FakeUsbBus();
    devicePath.fill('\0');
    Printer(std::string(255, 'L'));
    EXPECT_FALSE(FindPrinterDevice(usb, debug, devicePath, model));
    EXPECT_EQ(Stored(), "");
}

TEST_F(UsbPrinterTest, PathWithAZeroInsideIsSkipped) {
    Printer(std::string("port\0-evil", 10));
    Printer("port-2");
    ASSERT_TRUE(FindPrinterDevice(usb, debug, devicePath, model));
    EXPECT_EQ(Stored(), "port-2");
}

TEST_F(UsbPrinterTest, DeviceIdRequestUsesOneZeroedBufferOf255Bytes) {
    FakeUsbBus::Device& device = Printer("port-1");
    const UsbDeviceHandle handle = OpenPrinterDevice(usb, "port-1");
    std::string id;
    ASSERT_TRUE(QueryDeviceId(handle, id));
    EXPECT_EQ(id, kDeviceId);
    EXPECT_EQ(device.lastInputSize, 255u);
    EXPECT_EQ(device.lastOutputSize, 255u);
    EXPECT_TRUE(device.lastInputWasOutput);
    EXPECT_EQ((device.lastInputHead), (std::array<std::uint8_t, 3>{0, 0, 0}));
}

struct DeviceIdCase {
    const char* name;
    std::string reply;
    std::optional<std::uint32_t> reported;
    std::string expected;
};
void PrintTo(const DeviceIdCase& c, std::ostream* out) {
    *out << c.name;
}

class DeviceIdTest : public UsbPrinterTest, public ::testing::WithParamInterface<DeviceIdCase> {};

TEST_P(DeviceIdTest, ReadAsTextWithinTheReply) {
    const DeviceIdCase& c = GetParam();
    Printer("port-1", kReady, c.reply).idReturned = c.reported;
    const UsbDeviceHandle handle = OpenPrinterDevice(usb, "port-1");
    std::string id = "before";
    ASSERT_TRUE(QueryDeviceId(handle, id));
    EXPECT_EQ(id, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, DeviceIdTest,
    ::testing::Values(
        DeviceIdCase{"UpToTheFirstZero", std::string("MDL:A;\0MDL:B;", 13), {}, "MDL:A;"},
        DeviceIdCase{"NoZeroReadsAll255", std::string(300, 'Q'), {}, std::string(255, 'Q')},
        DeviceIdCase{"OverstatedLengthStaysIn255", std::string(255, 'Q'), 4000,
                     std::string(255, 'Q')},
        DeviceIdCase{"OnlyTheBytesReported", "MDL:Laser Z880k;", 5, "MDL:L"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(UsbPrinterTest, ModelAtTheEndOfAnUnterminatedIdStillMatches) {
    std::string id(255 - (sizeof kModel - 1), 'x');
    id += kModel;  // ends at byte 254, the last the reply can hold
    Printer("port-1", kReady, id + "-beyond");
    ASSERT_TRUE(FindPrinterDevice(usb, debug, devicePath, model));

    usb = FakeUsbBus();
    devicePath.fill('\0');
    Printer("port-1", kReady, std::string(250, 'x') + kModel);  // cut by the 255-byte buffer
    EXPECT_FALSE(FindPrinterDevice(usb, debug, devicePath, model));
}

TEST_F(UsbPrinterTest, DeviceIdOfTheInvalidHandleAsksNothing) {
    std::string id = "before";
    EXPECT_FALSE(QueryDeviceId(UsbDeviceHandle(), id));
    EXPECT_EQ(id, "before");
    EXPECT_FALSE(OpenPrinterDevice(usb, "").Valid());
    EXPECT_EQ(usb.unknownOpens, 0) << "an empty path is never tried";
}

TEST(MatchModelTest, SubstringAnywhereWithCase) {
    struct Case {
        const char* model;
        const char* id;
        bool match;
    };
    const Case cases[] = {
        {"Laser Z880k", "MDL:Laser Z880k Series;", true},
        {"Laser Z880k", "Laser Z880k", true},
        {"Series;", "MDL:Laser Z880k Series;", true},
        {"MDL:La", "MDL:Laser Z880k;", true},
        {"laser z880k", "MDL:Laser Z880k Series;", false},
        {"Laser Z880k Series;X", "MDL:Laser Z880k Series;", false},
        {"", "MDL:Laser Z880k;", false},
        {"Laser Z880k", "", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchModel(c.model, c.id), c.match) << c.model << " in " << c.id;
    }
}

TEST(ServiceTagTest, TextUpToTheFirstZeroNeverPastEightBytes) {
    EXPECT_EQ(ServiceTagText(Record{'A', 'B', 'C', 'D', 'E', 'F', 'G', 0}), "ABCDEFG");
    EXPECT_EQ(ServiceTagText(Record{}), "");
    EXPECT_EQ(ServiceTagText(Record{'1', '2', '3', '4', '5', '6', '7', '8'}), "12345678");
    EXPECT_EQ(ServiceTagText(Record{'A', 0, 'B', 0, 0, 0, 0, 0}), "A");
}

}  // namespace
}  // namespace orvix
