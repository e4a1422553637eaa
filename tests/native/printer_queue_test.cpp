// Job count and driver name of a print queue, against a scripted spooler.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "status/PrinterQueue.h"
#include "tests/fakes/FakeSpooler.h"

namespace orvix {
namespace {

using test::FakeSpooler;

class PrinterQueueTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(spooler.Balanced()) << "every queue opened was closed once";
        EXPECT_TRUE(spooler.buffersZeroed);
    }
    FakeSpooler spooler;
};

TEST_F(PrinterQueueTest, EmptyNameIsMinusOneWithoutAskingTheSpooler) {
    spooler.queues = {{"", "Driver", 3}};
    EXPECT_EQ(GetJobCount(spooler, ""), -1);
    EXPECT_EQ(spooler.opens, 0);
    EXPECT_EQ(spooler.getCalls, 0);
}

struct JobCountCase {
    const char* name;
    std::uint32_t jobs;
    const char* asked;
    std::uint32_t sizeError;
    bool readFails;
    std::int32_t expected;
};
void PrintTo(const JobCountCase& c, std::ostream* out) {
    *out << c.name;
}

class JobCountTest : public PrinterQueueTest, public ::testing::WithParamInterface<JobCountCase> {};

TEST_P(JobCountTest, CountOrZero) {
    const JobCountCase& c = GetParam();
    spooler.queues = {{"Other", "Driver", 7}, {"Orvix Laser", "Orvix Driver", c.jobs}};
    spooler.getSizeError = c.sizeError;
    spooler.getReadFails = c.readFails;
    EXPECT_EQ(GetJobCount(spooler, c.asked), c.expected);
}

constexpr std::uint32_t kInsufficient = kErrorInsufficientBuffer;

INSTANTIATE_TEST_SUITE_P(
    Queues, JobCountTest,
    ::testing::Values(JobCountCase{"ThreeJobs", 3, "Orvix Laser", kInsufficient, false, 3},
                      JobCountCase{"Empty", 0, "Orvix Laser", kInsufficient, false, 0},
                      JobCountCase{"NoSuchQueue", 3, "Missing", kInsufficient, false, 0},
                      JobCountCase{"NameInOtherCaseIsAnotherQueue", 3, "orvix laser", kInsufficient,
                                   false, 0},
                      JobCountCase{"SizeQueryOtherError", 3, "Orvix Laser", 5, false, 0},
                      JobCountCase{"SizeQuerySucceedingStillReads", 3, "Orvix Laser", 0, false, 3},
                      JobCountCase{"ReadFails", 3, "Orvix Laser", kInsufficient, true, 0},
                      JobCountCase{"CountBeyondTheSignedRangeStaysPositive", 0x80000000u,
                                   "Orvix Laser", kInsufficient, false, 0x7FFFFFFF}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(PrinterQueueTest, ReadAskedForTheSizeTheSpoolerReported) {
    spooler.queues = {{"Orvix Laser", "Orvix Driver", 2}};
    EXPECT_EQ(GetJobCount(spooler, "Orvix Laser"), 2);
    EXPECT_EQ(spooler.getCalls, 2) << "one size query, one read";
}

TEST_F(PrinterQueueTest, TwoPrintersDifferingInCaseOnlyTheExactOneIsFound) {
    spooler.queues = {{"Orvix Laser", "Driver A", 0}, {"ORVIX LASER", "Driver B", 0}};
    std::string driver = "untouched";
    ASSERT_TRUE(FindPrinterDriver(spooler, "ORVIX LASER", driver));
    EXPECT_EQ(driver, "Driver B");
    ASSERT_TRUE(FindPrinterDriver(spooler, "Orvix Laser", driver));
    EXPECT_EQ(driver, "Driver A");
    driver = "untouched";
    EXPECT_FALSE(FindPrinterDriver(spooler, "orvix laser", driver));
    EXPECT_EQ(driver, "untouched");
}

TEST_F(PrinterQueueTest, FirstMatchInSpoolerOrderWins) {
    spooler.queues = {{"Other", "Driver X", 0}, {"Orvix", "Driver A", 0}, {"Orvix", "Driver B", 0}};
    std::string driver;
    ASSERT_TRUE(FindPrinterDriver(spooler, "Orvix", driver));
    EXPECT_EQ(driver, "Driver A");
}

TEST_F(PrinterQueueTest, SameDriverFoundThroughEitherQueue) {
    spooler.queues = {{"Upstairs", "Orvix Driver", 0}, {"Downstairs", "Orvix Driver", 0}};
    for (const char* queue : {"Upstairs", "Downstairs"}) {
        std::string driver;
        ASSERT_TRUE(FindPrinterDriver(spooler, queue, driver)) << queue;
        EXPECT_EQ(driver, "Orvix Driver");
    }
}

TEST_F(PrinterQueueTest, SizeQuerySucceedingStillLists) {
    spooler.queues = {{"Orvix", "Driver A", 0}};
    spooler.enumSizeError = 0;
    std::string driver;
    EXPECT_TRUE(FindPrinterDriver(spooler, "Orvix", driver));
    EXPECT_EQ(driver, "Driver A");
}

struct DriverFailureCase {
    const char* name;
    bool noPrinters;
    std::uint32_t sizeError;
    bool readFails;
};
void PrintTo(const DriverFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class DriverFailureTest : public PrinterQueueTest,
                          public ::testing::WithParamInterface<DriverFailureCase> {};

TEST_P(DriverFailureTest, FalseAndOutputUntouched) {
    const DriverFailureCase& c = GetParam();
    if (!c.noPrinters) {
        spooler.queues = {{"Orvix", "Driver A", 0}};
    }
    spooler.enumSizeError = c.sizeError;
    spooler.enumReadFails = c.readFails;
    std::string driver = "untouched";
    EXPECT_FALSE(FindPrinterDriver(spooler, "Orvix", driver));
    EXPECT_EQ(driver, "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DriverFailureTest,
    ::testing::Values(DriverFailureCase{"NoPrinters", true, 0, false},
                      DriverFailureCase{"SizeQueryOtherError", false, 5, false},
                      DriverFailureCase{"ListFails", false, kInsufficient, true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// A spooler whose size answers make no sense: nothing is allocated for them and nothing read.
class ConfusedSpooler final : public ISpooler {
public:
    explicit ConfusedSpooler(std::uint32_t reported) : size(reported) {}
    bool OpenPrinter(const std::string&, SpoolerPrinter& printer) override {
        printer = 1;
        ++open;
        return true;
    }
    void ClosePrinter(SpoolerPrinter) override { --open; }
    SpoolerCall GetPrinter(SpoolerPrinter, std::span<std::uint8_t> buffer) override {
        return Answer(buffer);
    }
    SpoolerCall EnumLocalPrinters(std::span<std::uint8_t> buffer) override {
        return Answer(buffer);
    }
    std::optional<PrinterRecord> RecordAt(std::span<const std::uint8_t>, std::uint32_t) override {
        return PrinterRecord{"Orvix", "Driver", 5};
    }

    std::uint32_t size;
    int open = 0;
    int reads = 0;

private:
    SpoolerCall Answer(std::span<std::uint8_t> buffer) {
        if (buffer.empty()) {
            return SpoolerCall{false, kErrorInsufficientBuffer, size, 0};
        }
        ++reads;
        return SpoolerCall{true, 0, size, 1};
    }
};

TEST(PrinterQueueSizeTest, ZeroOrHugeSizesReadNothing) {
    for (const std::uint32_t size : {0u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(size);
        ConfusedSpooler spooler(size);
        EXPECT_EQ(GetJobCount(spooler, "Orvix"), 0);
        std::string driver = "untouched";
        EXPECT_FALSE(FindPrinterDriver(spooler, "Orvix", driver));
        EXPECT_EQ(driver, "untouched");
        EXPECT_EQ(spooler.reads, 0);
        EXPECT_EQ(spooler.open, 0);
    }
    ConfusedSpooler sane(4096);
    EXPECT_EQ(GetJobCount(sane, "Orvix"), 5) << "the same spooler with a sane size is read";
}

}  // namespace
}  // namespace orvix
