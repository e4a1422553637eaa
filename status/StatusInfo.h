#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvix {

// One decoded printer status record. Copies are deep: each copy owns its own `raw` bytes.
class StatusInfo {
public:
    static constexpr std::size_t kRecordSize = 8;
    static constexpr int kErrorClass = 4;

    // Decodes `record` into this object. A record shorter than 8 bytes is padded with zeros.
    void Decode(const std::uint8_t* record, std::size_t length);
    void Decode(std::span<const std::uint8_t> record) { Decode(record.data(), record.size()); }

    // The key under which the string table holds this status's text; empty when none.
    std::string GetStatusKey() const;
    int GetTonerLevel() const { return tonerLevel; }
    // Zeroes the numbers; `extraText` and `raw` stay.
    void Clear();

    int StatusClass() const { return statusClass; }
    bool IsError() const { return statusClass == kErrorClass; }
    int MainStatus() const { return statusBytes[0]; }
    int SubStatus1() const { return statusBytes[1]; }
    int SubStatus2() const { return statusBytes[2]; }
    int TonerSize() const { return tonerSize; }
    const std::string& ExtraText() const { return extraText; }
    // The last record decoded (empty before the first decode).
    std::span<const std::uint8_t> Raw() const { return raw; }

private:
    std::int32_t statusClass = 0;
    std::int32_t tonerLevel = 0;
    std::int32_t statusBytes[5] = {};
    std::int32_t tonerSize = 0;
    std::string extraText;
    std::vector<std::uint8_t> raw;
};

}  // namespace orvix
