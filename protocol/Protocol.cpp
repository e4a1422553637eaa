#include "protocol/Protocol.h"

#include <algorithm>

namespace orvix {

std::string FieldText(std::span<const std::uint8_t> record, std::size_t offset,
                      std::size_t slot) {
    if (offset >= record.size()) {
        return {};
    }
    const auto field = record.subspan(offset, std::min(slot, record.size() - offset));
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

std::optional<HandoffRecord> HandoffRecord::Make(std::string_view pipeName,
                                                 std::string_view programName) {
    if (pipeName.size() >= kPipeNameSlot || programName.size() >= kProgramNameSlot) {
        return std::nullopt;
    }
    HandoffRecord record;
    std::copy(pipeName.begin(), pipeName.end(), record.bytes.begin() + kPipeNameOffset);
    std::copy(programName.begin(), programName.end(), record.bytes.begin() + kProgramNameOffset);
    return record;
}

void HandoffRecord::Parse(std::span<const std::uint8_t> record, std::string& pipeName,
                          std::string& programName) {
    pipeName = FieldText(record, kPipeNameOffset, kPipeNameSlot);
    programName = FieldText(record, kProgramNameOffset, kProgramNameSlot);
}

}  // namespace orvix
