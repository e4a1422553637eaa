#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace orvix {

struct StrTableEntry {
    std::string key;
    std::string value;
};

// The string table: key/value pairs in file order, looked up by a linear byte comparison.
class CStrTableList {
public:
    static constexpr std::size_t kMaxKeyBytes = 51;
    static constexpr std::size_t kMaxValueBytes = 4095;
    static constexpr std::size_t kMaxEntries = 65535;

    // Reads a .trs file and appends its pairs; false (table unchanged) when it cannot be opened.
    bool Load(const std::string& path, IFileSystem& files);
    // Parses .trs bytes and appends the pairs.
    void Parse(std::string_view bytes);
    // Copies the first value stored under `key` (byte for byte, with case) and its zero into
    // `buffer`; false, with `buffer` untouched, when the key is missing.
    bool Lookup(std::string_view key, std::span<char> buffer) const;
    void Cleanup();
    std::size_t Count() const { return entries.size(); }
    // The pairs in file order.
    const std::vector<StrTableEntry>& Entries() const { return entries; }

private:
    std::vector<StrTableEntry> entries;
};

}  // namespace orvix
