// Cost of the status poll against an in-memory bus: 1,000 polls by the stored path, and for
// contrast 1,000 polls that each have to search first.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

#include "status/UsbPrinter.h"
#include "tests/fakes/FakeUsbBus.h"

namespace {

constexpr int kPolls = 1000;
const std::string kPath =
    "\\\\?\\usb#vid_1965&pid_0880#0000000000000001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

struct Bench {
    Bench() {
        usb.AddPrinter(kPath, "MFG:Velmar;CMD:GDI;MDL:Laser Z880k Series;CLS:PRINTER;").status = {
            0x01, 0x01, 0x04, 0x00, 0x00, 0x50, 0x02, 0x00};
    }
    orvix::test::FakeUsbBus usb;
    orvix::test::FakeDebugOutput debug;
    std::string model = "Laser Z880k";
    orvix::DevicePath devicePath{};
    orvix::UsbPrinterAccess access{usb, debug, model, devicePath};
    std::array<std::uint8_t, 8> record{};
};

void BM_ThousandPollsByStoredPath(benchmark::State& state) {
    Bench bench;
    orvix::GetStatusData(bench.access, bench.record);  // stores the path
    for (auto _ : state) {
        for (int i = 0; i < kPolls; ++i) {
            benchmark::DoNotOptimize(orvix::GetStatusData(bench.access, bench.record));
        }
    }
    state.counters["searches"] = bench.usb.setsOpened;
}
BENCHMARK(BM_ThousandPollsByStoredPath)->Unit(benchmark::kMicrosecond);

void BM_ThousandPollsSearchingEachTime(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        for (int i = 0; i < kPolls; ++i) {
            bench.devicePath.fill('\0');
            benchmark::DoNotOptimize(orvix::GetStatusData(bench.access, bench.record));
        }
    }
}
BENCHMARK(BM_ThousandPollsSearchingEachTime)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
