// Parses arbitrary bytes as a string table and looks every key up into small buffers,
// checking that each copy stays inside its buffer and ends with a zero.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "localization/StrTableList.h"

namespace {

constexpr char kCanary = '\x5A';

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvix::CStrTableList table;
    table.Parse(bytes);
    Check(table.Count() <= orvix::CStrTableList::kMaxEntries);

    // Buffer sizes from the input's first byte, so the fuzzer explores them too.
    const std::size_t bufferSize = size == 0 ? 0 : data[0] % 24;
    std::vector<char> storage(bufferSize + 8, kCanary);
    // Every look-up is a linear scan: check a bounded sample so that a run stays fast.
    const auto& entries = table.Entries();
    const std::size_t step = entries.size() / 64 + 1;
    for (std::size_t index = 0; index < entries.size(); index += step) {
        const orvix::StrTableEntry& entry = entries[index];
        Check(entry.key.size() <= orvix::CStrTableList::kMaxKeyBytes);
        Check(entry.value.size() <= orvix::CStrTableList::kMaxValueBytes);
        std::fill(storage.begin(), storage.end(), kCanary);
        Check(table.Lookup(entry.key, std::span<char>(storage.data(), bufferSize)));
        for (std::size_t i = bufferSize; i < storage.size(); ++i) {
            Check(storage[i] == kCanary);
        }
        if (bufferSize > 0) {
            // Terminated inside the buffer.
            Check(std::memchr(storage.data(), 0, bufferSize) != nullptr);
        }
    }
    // A key that cannot be stored is never found, and leaves the buffer alone.
    std::fill(storage.begin(), storage.end(), kCanary);
    Check(!table.Lookup(std::string(orvix::CStrTableList::kMaxKeyBytes + 1, 'K'),
                        std::span<char>(storage.data(), bufferSize)));
    Check(std::all_of(storage.begin(), storage.end(), [](char c) { return c == kCanary; }));

    table.Cleanup();
    Check(table.Count() == 0);
    return 0;
}
