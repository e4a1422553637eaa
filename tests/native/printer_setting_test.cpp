// The low toner setting under the printer driver's registry key.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ordering/PrinterSetting.h"
#include "tests/fakes/FakePlatform.h"

namespace orvix {
namespace {

constexpr char kQueue[] = "Orvix Laser";
constexpr char kKey[] = "Software\\VezIvu\\Orvix Driver";

class PrinterSettingTest : public ::testing::Test {
protected:
    PrinterSettingTest() { spooler.queues = {{kQueue, "Orvix Driver", 0}}; }

    bool Read(std::uint32_t& value) {
        return ReadPrinterSetting(spooler, registry, kQueue, kOrderTonerAlreadyChecked, value);
    }
    bool Write(std::uint32_t value) {
        return WritePrinterSetting(spooler, registry, kQueue, kOrderTonerAlreadyChecked, value);
    }

    test::FakeSpooler spooler;
    test::FakeRegistry registry;
};

TEST_F(PrinterSettingTest, NoQueueOfThatName) {
    spooler.queues = {{"Another Printer", "Orvix Driver", 0}};
    registry.Set(RegistryRoot::LocalMachine, kKey, kOrderTonerAlreadyChecked, {1, 0, 0, 0});
    std::uint32_t value = 0;
    EXPECT_FALSE(Read(value));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(Write(1));
    EXPECT_EQ(registry.writes, 0);
}

TEST_F(PrinterSettingTest, KeyMissingWriteSaysTrueAndWritesNothing) {
    EXPECT_TRUE(Write(1));
    EXPECT_EQ(registry.writes, 0);
    EXPECT_TRUE(registry.keys.empty()) << "the key is never created";
    std::uint32_t value = 0;
    EXPECT_FALSE(Read(value));
    EXPECT_EQ(value, 0u);
}

TEST_F(PrinterSettingTest, WrittenValueIsReadBackAsDword) {
    registry.AddKey(RegistryRoot::LocalMachine, kKey);
    ASSERT_TRUE(Write(1));
    const auto stored =
        registry.ReadValue(RegistryRoot::LocalMachine, kKey, "SMOrderTonerAlreadyChecked", 16);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, (std::vector<std::uint8_t>{1, 0, 0, 0}));

    std::uint32_t value = 0;
    ASSERT_TRUE(Read(value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(Write(0));
    ASSERT_TRUE(Read(value));
    EXPECT_EQ(value, 0u);
}

TEST_F(PrinterSettingTest, OnlyTheMachineWideKeyCounts) {
    registry.Set(RegistryRoot::CurrentUser, kKey, kOrderTonerAlreadyChecked, {1, 0, 0, 0});
    std::uint32_t value = 0;
    EXPECT_FALSE(Read(value));
    EXPECT_EQ(value, 0u);
}

TEST_F(PrinterSettingTest, DriverIsLookedUpByTheExactQueueName) {
    spooler.queues = {{"orvix laser", "Wrong Driver", 0}, {kQueue, "Orvix Driver", 0}};
    registry.Set(RegistryRoot::LocalMachine, "Software\\VezIvu\\Wrong Driver",
                 kOrderTonerAlreadyChecked, {7, 0, 0, 0});
    registry.Set(RegistryRoot::LocalMachine, kKey, kOrderTonerAlreadyChecked, {1, 0, 0, 0});
    std::uint32_t value = 0;
    ASSERT_TRUE(Read(value));
    EXPECT_EQ(value, 1u);
}

TEST_F(PrinterSettingTest, EmptyDriverNameIsNoDriver) {
    spooler.queues = {{kQueue, "", 0}};
    registry.Set(RegistryRoot::LocalMachine, "Software\\VezIvu\\", kOrderTonerAlreadyChecked,
                 {1, 0, 0, 0});
    registry.AddKey(RegistryRoot::LocalMachine, "Software\\VezIvu");
    std::uint32_t value = 0;
    EXPECT_FALSE(Read(value));
    EXPECT_FALSE(Write(1));
    EXPECT_EQ(registry.writes, 0);
}

// A value of another type or size: up to 4 bytes replace the variable's first bytes, whatever
// they are; more than 4 fail the read and leave the variable alone.
struct StoredValueCase {
    const char* name;
    std::vector<std::uint8_t> data;
    bool read;
    std::uint32_t expected;  // the variable starts at 0xAABBCCDD
};
void PrintTo(const StoredValueCase& c, std::ostream* out) {
    *out << c.name;
}

class StoredValueTest : public PrinterSettingTest,
                        public ::testing::WithParamInterface<StoredValueCase> {};

TEST_P(StoredValueTest, ReplacesLeadingBytesOrFails) {
    const StoredValueCase& c = GetParam();
    registry.Set(RegistryRoot::LocalMachine, kKey, kOrderTonerAlreadyChecked, c.data);
    std::uint32_t value = 0xAABBCCDD;
    EXPECT_EQ(Read(value), c.read);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValueTest,
    ::testing::Values(StoredValueCase{"Dword", {1, 0, 0, 0}, true, 1},
                      StoredValueCase{"TwoBytes", {0x01, 0x02}, true, 0xAABB0201},
                      StoredValueCase{"StringOne", {'1', 0}, true, 0xAABB0031},
                      StoredValueCase{"Empty", {}, true, 0xAABBCCDD},
                      StoredValueCase{"FiveBytes", {1, 0, 0, 0, 0}, false, 0xAABBCCDD},
                      StoredValueCase{"Qword", {1, 0, 0, 0, 0, 0, 0, 0}, false, 0xAABBCCDD}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace orvix
