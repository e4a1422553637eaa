// Loading a 2,000-entry string table and looking every key up once: the work of a start.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "localization/StrTableList.h"
#include "tests/fakes/FakePlatform.h"

namespace {

constexpr int kEntries = 2000;

std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    for (int i = 0; i < kEntries; ++i) {
        keys.push_back("STSWND_GENERATED_KEY_" + std::to_string(i));
    }
    return keys;
}

std::string TableBytes(const std::vector<std::string>& keys) {
    std::string bytes;
    for (const std::string& key : keys) {
        bytes += key + " \"A text of ordinary length for " + key + ", as a window shows it\"\r\n";
    }
    return bytes;
}

void BM_LoadAndLookUpEveryKey(benchmark::State& state) {
    const std::vector<std::string> keys = Keys();
    orvix::test::FakeFiles files;
    files.Put("C:\\P\\MulLang\\SMen.trs", TableBytes(keys));
    std::array<char, 256> buffer{};
    for (auto _ : state) {
        orvix::CStrTableList table;
        if (!table.Load("C:\\P\\MulLang\\SMen.trs", files) || table.Count() != kEntries) {
            state.SkipWithError("table did not load");
            break;
        }
        for (const std::string& key : keys) {
            if (!table.Lookup(key, buffer)) {
                state.SkipWithError("key missing");
                break;
            }
        }
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_LoadAndLookUpEveryKey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
