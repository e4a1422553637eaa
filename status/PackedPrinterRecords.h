#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "status/Spooler.h"

namespace orvix {

// A byte layout of printer records for the spoolers that are not the platform's (the
// simulated queue and the test fake): per record the name, a zero, the driver, a zero and the
// job count in 4 bytes, little-endian. The logic only ever sees these bytes through RecordAt,
// as it sees the platform's level-2 records.
std::vector<std::uint8_t> PackPrinterRecords(std::span<const PrinterRecord> records);

// Record `index` of a packed buffer; nullopt when the buffer holds no such whole record.
std::optional<PrinterRecord> PackedRecordAt(std::span<const std::uint8_t> buffer,
                                            std::uint32_t index);

}  // namespace orvix
