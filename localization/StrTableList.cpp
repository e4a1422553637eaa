#include "localization/StrTableList.h"

#include <algorithm>
#include <cstring>

namespace orvix {
namespace {

bool IsKeyBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool OpensValue(char c) {
    return c == '"' || c == ';';
}

}  // namespace

bool CStrTableList::Load(const std::string& path, IFileSystem& files) {
    const std::optional<std::string> bytes = files.ReadWholeFile(path);
    if (!bytes) {
        return false;
    }
    Parse(*bytes);
    return true;
}

void CStrTableList::Parse(std::string_view bytes) {
    std::string key;
    // A key too long to store is remembered only as "too long": cutting it could make it
    // equal to a real key and shadow that key's text.
    bool keyTooLong = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const char c = bytes[pos++];
        if (IsKeyBlank(c)) {
            continue;
        }
        if (!OpensValue(c)) {
            if (key.size() < kMaxKeyBytes) {
                key.push_back(c);
            } else {
                keyTooLong = true;
            }
            continue;
        }
        // Inside a value: everything up to the next byte equal to the opener, or the end.
        const std::size_t close = bytes.find(c, pos);
        const std::size_t end = close == std::string_view::npos ? bytes.size() : close;
        const std::string_view value = bytes.substr(pos, end - pos);
        pos = close == std::string_view::npos ? bytes.size() : close + 1;

        if (!keyTooLong && entries.size() < kMaxEntries) {
            entries.push_back({key, std::string(value.substr(0, kMaxValueBytes))});
        }
        key.clear();
        keyTooLong = false;
    }
}

bool CStrTableList::Lookup(std::string_view key, std::span<char> buffer) const {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const StrTableEntry& entry) { return entry.key == key; });
    if (found == entries.end()) {
        return false;
    }
    if (buffer.empty()) {
        return true;
    }
    // A value longer than the caller's buffer is cut, so the text always ends inside it.
    const std::size_t count = std::min(found->value.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), found->value.data(), count);
    buffer[count] = '\0';
    return true;
}

void CStrTableList::Cleanup() {
    entries.clear();
    entries.shrink_to_fit();
}

}  // namespace orvix
