#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvix {

// WM_COPYDATA record types.
inline constexpr std::uintptr_t CD_SERVICE_CREATE = 100;
inline constexpr std::uintptr_t CD_SERVICE_DELETE = 101;
inline constexpr std::uintptr_t CD_HANDOFF = 500;
inline constexpr std::uintptr_t CD_JOB_INFO = 1000;

// Private window messages.
inline constexpr unsigned WM_SM_SERVICE_CREATE = 102;
inline constexpr unsigned WM_SM_SERVICE_DELETE = 103;
inline constexpr unsigned WM_SM_JOB_STARTED = 1125;
inline constexpr unsigned WM_SM_POPUP_CLOSED = 1225;
inline constexpr unsigned WM_SM_EXIT_IF_IDLE = 1226;
inline constexpr unsigned WM_SM_SHOW_ORDER_TONER = 1325;
inline constexpr unsigned WM_SM_KILL = 1329;

// The hand-off record from a second Orvix: pipe name in bytes 0..254, program name in
// bytes 255..304, each zero-terminated and zero-filled.
struct HandoffRecord {
    static constexpr std::size_t kSize = 305;
    static constexpr std::size_t kPipeNameOffset = 0;
    static constexpr std::size_t kPipeNameSlot = 255;
    static constexpr std::size_t kProgramNameOffset = 255;
    static constexpr std::size_t kProgramNameSlot = 50;

    std::array<std::uint8_t, kSize> bytes{};

    // Builds the record; nullopt when a name does not fit its slot with its zero.
    static std::optional<HandoffRecord> Make(std::string_view pipeName,
                                             std::string_view programName);
    // Reads the two fields of a received record of `record.size()` bytes; a field that the
    // record does not reach is empty, one without a zero in its slot ends with the slot.
    static void Parse(std::span<const std::uint8_t> record, std::string& pipeName,
                      std::string& programName);
};

// The zero-terminated text in `record[offset, offset + slot)`, never reading past the record.
std::string FieldText(std::span<const std::uint8_t> record, std::size_t offset, std::size_t slot);

}  // namespace orvix
