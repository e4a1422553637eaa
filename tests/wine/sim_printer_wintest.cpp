// The simulated printer and queues: a test changes the state file while the adapters are in
// use, and the logic sees each change at its next call. Also: only the simulation programs
// carry the simulation.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/sim/SimSpooler.h"
#include "platform/sim/SimState.h"
#include "platform/sim/SimUsbBus.h"
#include "platform/win32/Win32DebugOutput.h"
#include "status/PrinterQueue.h"
#include "status/UsbPrinter.h"
#include "tests/wine/WineSupport.h"

namespace orvix::wine {
namespace {

using Record = std::array<std::uint8_t, 8>;

// A state file of its own, named by ORVIX_SIM_STATE for as long as the fixture lives.
class SimPrinter : public ::testing::Test {
protected:
    SimPrinter() { ::SetEnvironmentVariableA("ORVIX_SIM_STATE", State().c_str()); }
    ~SimPrinter() override { ::SetEnvironmentVariableA("ORVIX_SIM_STATE", nullptr); }

    std::string State() const { return dir / "OrvixSim.ini"; }
    void Write(const std::string& text) { ASSERT_TRUE(WriteFileBytes(State(), text)); }

    static std::string Printer(const std::string& status, const std::string& tag,
                               const std::string& path = "usb#sim-port-1") {
        return "[Printer]\r\nPresent=1\r\nPath=" + path +
               "\r\nDeviceId=MFG:Velmar;CMD:GDI;MDL:Laser Z880k Series;CLS:PRINTER;\r\nStatus=" +
               status + "\r\nServiceTag=" + tag + "\r\n";
    }

    TempDir dir;
    sim::SimUsbBus usb;
    sim::SimSpooler spooler;
    win32::Win32DebugOutput debug;
    std::string model = "Laser Z880k";
    DevicePath devicePath{};
    UsbPrinterAccess access{usb, debug, model, devicePath};
};

TEST_F(SimPrinter, StatusAndServiceTagFollowTheFile) {
    Write(Printer("01 01 01 00 00 50 02 00", "ABC1234"));
    Record record{};
    ASSERT_TRUE(GetStatusData(access, record));
    EXPECT_EQ(record, (Record{0x01, 0x01, 0x01, 0x00, 0x00, 0x50, 0x02, 0x00}));
    EXPECT_EQ(DevicePathText(devicePath), "usb#sim-port-1");
    Record tag{};
    ASSERT_TRUE(GetServiceTagData(access, tag));
    EXPECT_EQ(ServiceTagText(tag), "ABC1234");

    // A paper jam and a new cartridge, while the same bus object is in use.
    Write(Printer("0403010800400200", "XYZ98765"));
    ASSERT_TRUE(GetStatusData(access, record));
    StatusInfo status;
    status.Decode(record.data(), record.size());
    EXPECT_EQ(status.GetStatusKey(), "SM_PAPER_JAM1");
    EXPECT_EQ(status.GetTonerLevel(), 0x40);
    ASSERT_TRUE(GetServiceTagData(access, tag));
    EXPECT_EQ(ServiceTagText(tag), "XYZ98765");
    EXPECT_EQ(usb.OpenHandles(), 0u);
}

// The cost of the poll path against the simulated printer (which re-reads its state file on
// every call), reported rather than asserted: a measurement, not a timed test.
TEST_F(SimPrinter, ThousandPollsByTheStoredPath) {
    Write(Printer("01 01 04 00 00 3C 14 00", "ABC1234"));
    Record record{};
    ASSERT_TRUE(GetStatusData(access, record));  // the one search stores the path
    LARGE_INTEGER frequency{}, start{}, end{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    int succeeded = 0;
    for (int i = 0; i < 1000; ++i) {
        record = {};
        succeeded += GetStatusData(access, record) ? 1 : 0;
    }
    ::QueryPerformanceCounter(&end);
    EXPECT_EQ(succeeded, 1000);
    EXPECT_EQ(usb.OpenHandles(), 0u);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("1000 status polls against the simulated printer: %.1f ms\n", ms);
    RecordProperty("thousand_polls_ms", std::to_string(ms));
}

TEST_F(SimPrinter, UnpluggedReadsAsCableOffAndANewPortIsFound) {
    Write(Printer("0101010000500200", "ABC1234"));
    Record record{};
    ASSERT_TRUE(GetStatusData(access, record));

    Write("[Printer]\r\nPresent=0\r\n");
    StatusInfo status;
    EXPECT_FALSE(ReadPrinterStatus(access, status));
    EXPECT_EQ(status.GetStatusKey(), "SM_USB_CABLE_OFF");
    EXPECT_EQ(DevicePathText(devicePath), "usb#sim-port-1") << "a failed search writes nothing";

    Write(Printer("0101040000500200", "ABC1234", "usb#sim-port-2"));
    ASSERT_TRUE(GetStatusData(access, record));
    EXPECT_EQ(record[2], 0x04);
    EXPECT_EQ(DevicePathText(devicePath), "usb#sim-port-2");
    EXPECT_EQ(usb.OpenHandles(), 0u);
}

TEST_F(SimPrinter, MalformedStatusIsAPrinterThatDoesNotAnswer) {
    Write(Printer("01 01 01", "ABC1234"));
    Record record{};
    record.fill(0x55);
    EXPECT_FALSE(GetStatusData(access, record));
    EXPECT_EQ(record, Record{});
    Record tag{};
    EXPECT_TRUE(GetServiceTagData(access, tag)) << "the rest of the printer still answers";
    EXPECT_EQ(usb.OpenHandles(), 0u);
}

TEST_F(SimPrinter, JobCountsAndDriversFollowTheFile) {
    Write("[Jobs]\r\nSim Laser=3\r\n[Drivers]\r\nSim Laser=Sim Driver\r\nOther=Other Driver\r\n");
    EXPECT_EQ(GetJobCount(spooler, "Sim Laser"), 3);
    std::string driver;
    ASSERT_TRUE(FindPrinterDriver(spooler, "Other", driver));
    EXPECT_EQ(driver, "Other Driver");
    EXPECT_FALSE(FindPrinterDriver(spooler, "sim laser", driver));

    Write("[Jobs]\r\nSim Laser=0\r\n[Drivers]\r\nSim Laser=Sim Driver\r\n");
    EXPECT_EQ(GetJobCount(spooler, "Sim Laser"), 0);
    Write("[Jobs]\r\nSim Laser=12\r\n");
    EXPECT_EQ(GetJobCount(spooler, "Sim Laser"), 12);
    EXPECT_FALSE(FindPrinterDriver(spooler, "Sim Laser", driver));
    Write("");
    EXPECT_EQ(GetJobCount(spooler, "Sim Laser"), 0) << "a queue that is gone counts 0";
    EXPECT_EQ(spooler.OpenHandles(), 0u);
}

TEST(SimBuilds, OnlyTheSimulationProgramsCarryTheSimulation) {
    const std::string marker = sim::kSimMarker;
    for (const char* program : {"\\Orvix.exe", "\\Service.exe"}) {
        const auto production = ReadFileBytes(BinDir() + program);
        ASSERT_TRUE(production.has_value()) << program;
        EXPECT_EQ(production->find(marker), std::string::npos) << program;
    }
    const auto simulation = ReadFileBytes(SimBinDir() + "\\Orvix.exe");
    ASSERT_TRUE(simulation.has_value());
    EXPECT_NE(simulation->find(marker), std::string::npos);
}

}  // namespace
}  // namespace orvix::wine
