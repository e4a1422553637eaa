#include "status/StatusInfo.h"

#include "platform/BoundedText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace orvix {
namespace {

constexpr int kAny = -1;

struct StatusKeyRow {
    int mainStatus;
    int subStatus1;
    int subStatus2;  // kAny, or the one value that selects the row
    std::string_view key;
};

// First match wins, so a specific paper jam row must stand before the generic one.
constexpr std::array<StatusKeyRow, 21> kStatusKeys = {{
    {0, kAny, kAny, "SM_USB_CABLE_OFF"},
    {1, 1, kAny, "SM_READY"},
    {1, 3, kAny, "SM_POWERSAVE"},
    {1, 4, kAny, "SM_PRINTING"},
    {1, 5, kAny, "SM_WARMUPERR"},
    {3, 1, 2, "SM_PAPER_JAM0"},
    {3, 1, 8, "SM_PAPER_JAM1"},
    {3, 1, 9, "SM_PAPER_JAM2"},
    {3, 1, kAny, "SM_PAPER_JAM"},
    {3, 2, kAny, "SM_PAPER_EMPTY"},
    {5, 1, kAny, "SM_TONER_EMPTY"},
    {5, 2, kAny, "SM_TONER_LOW"},
    {5, 6, kAny, "SM_INVALID_TONER_KIT"},
    {5, 7, kAny, "SM_TONERKIT_NOT_INSTALLED"},
    {6, 17, kAny, "SM_MEMORY_OVERFLOW"},
    {8, 1, kAny, "SM_FUSER_ERROR"},
    {8, 2, kAny, "SM_LSU_ERROR"},
    {8, 3, kAny, "SM_COVER_OPEN"},
    {8, 4, kAny, "SM_OUTBIN_FULL"},
    {8, 13, kAny, "SM_HEAT_ERROR"},
    {9, 1, kAny, "SM_SCANNER_LOCKED_ERROR"},
}};

bool Matches(int wanted, int actual) {
    return wanted == kAny || wanted == actual;
}

std::int32_t ClassFromFlags(std::uint8_t flags) {
    if (flags & 0x01) {
        return 1;
    }
    if (flags & 0x02) {
        return 2;
    }
    if (flags & 0x04) {
        return 4;
    }
    return -1;
}

}  // namespace

void StatusInfo::Decode(const std::uint8_t* record, std::size_t length) {
    if (record == nullptr) {
        length = 0;
    }
    // A short record is padded with zeros; a longer one gets a zero after its end so that the
    // optional text is always terminated inside the buffer.
    const std::size_t size = length <= kRecordSize ? kRecordSize : length + 1;
    std::vector<std::uint8_t> copy(size, 0);
    if (length > 0) {
        std::memcpy(copy.data(), record, length);
    }
    raw = std::move(copy);

    statusClass = ClassFromFlags(raw[0]);
    for (std::size_t i = 0; i < 5; ++i) {
        statusBytes[i] = raw[i + 1];
    }
    tonerLevel = raw[5];
    tonerSize = raw[6];
    if (statusBytes[0] == 0) {
        statusClass = kErrorClass;
    }
    if (raw[7] != 0 && length > kRecordSize) {
        extraText = TextBeforeZero(std::span(raw).subspan(kRecordSize));
    }
}

std::string StatusInfo::GetStatusKey() const {
    const auto row = std::find_if(kStatusKeys.begin(), kStatusKeys.end(), [&](const auto& r) {
        return r.mainStatus == statusBytes[0] && Matches(r.subStatus1, statusBytes[1]) &&
               Matches(r.subStatus2, statusBytes[2]);
    });
    return row == kStatusKeys.end() ? std::string() : std::string(row->key);
}

void StatusInfo::Clear() {
    statusClass = 0;
    tonerLevel = 0;
    std::fill(std::begin(statusBytes), std::end(statusBytes), 0);
    tonerSize = 0;
}

}  // namespace orvix
