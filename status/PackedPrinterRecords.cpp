#include "status/PackedPrinterRecords.h"

#include <algorithm>

namespace orvix {

std::vector<std::uint8_t> PackPrinterRecords(std::span<const PrinterRecord> records) {
    std::vector<std::uint8_t> bytes;
    for (const PrinterRecord& record : records) {
        bytes.insert(bytes.end(), record.printerName.begin(), record.printerName.end());
        bytes.push_back(0);
        bytes.insert(bytes.end(), record.driverName.begin(), record.driverName.end());
        bytes.push_back(0);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(record.jobs >> shift));
        }
    }
    return bytes;
}

std::optional<PrinterRecord> PackedRecordAt(std::span<const std::uint8_t> buffer,
                                            std::uint32_t index) {
    std::size_t at = 0;
    const auto text = [&](std::string_view& out) {
        const auto begin = buffer.begin() + static_cast<std::ptrdiff_t>(at);
        const auto end = std::find(begin, buffer.end(), std::uint8_t{0});
        if (end == buffer.end()) {
            return false;
        }
        const auto length = static_cast<std::size_t>(end - begin);
        out = std::string_view(reinterpret_cast<const char*>(buffer.data()) + at, length);
        at += length + 1;
        return true;
    };
    for (std::uint32_t i = 0;; ++i) {
        PrinterRecord record;
        if (!text(record.printerName) || !text(record.driverName) || buffer.size() - at < 4) {
            return std::nullopt;
        }
        for (int shift = 0; shift < 32; shift += 8) {
            record.jobs |= static_cast<std::uint32_t>(buffer[at++]) << shift;
        }
        if (i == index) {
            return record;
        }
    }
}

}  // namespace orvix
