#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/TextConversion.h"
#include "platform/Version.h"

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

// Records that cross processes hold zero-terminated texts in fixed slots. A received record is
// never trusted: a field the record does not reach is empty, and a field without its zero is
// cut to the longest text its slot holds (slot - 1 characters), so that whatever was read can
// be written back into the same slot.

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
    // Reads the two fields of a received record of `record.size()` bytes.
    static void Parse(std::span<const std::uint8_t> record, std::string& pipeName,
                      std::string& programName);
};

// The job record: three zero-terminated texts at fixed character positions. The ANSI form has
// one byte per character (409 bytes), the UTF-16 form two (818 bytes, little-endian).
struct JobInfo {
    struct Field {
        std::size_t offset;  // first character
        std::size_t slot;    // characters, the terminating zero included
    };
    static constexpr Field kPrinterName{0, 125};
    static constexpr Field kSpareText{125, 128};
    static constexpr Field kDisplayText{253, 156};
    static constexpr std::size_t kCharacters = 409;
    static constexpr std::size_t kAnsiSize = kCharacters;
    static constexpr std::size_t kWideSize = 2 * kCharacters;

    std::string printerName;  // the spooler's queue name
    std::string spareText;    // carried, read by nobody
    std::string displayText;  // shown without its path

    bool operator==(const JobInfo&) const = default;
};

using JobInfoAnsiRecord = std::array<std::uint8_t, JobInfo::kAnsiSize>;
using JobInfoWideRecord = std::array<std::uint8_t, JobInfo::kWideSize>;

// Reads a received ANSI record of `record.size()` bytes.
JobInfo ParseJobInfoAnsi(std::span<const std::uint8_t> record);

// Reads a received UTF-16 record of `record.size()` bytes (an odd last byte is ignored) and
// converts each field to ANSI. A conversion longer than its slot is cut after the last whole
// character that still fits, never inside a double-byte character or a surrogate pair.
JobInfo ParseJobInfoWide(std::span<const std::uint8_t> record, ITextConversion& conversion);

// The ANSI record, zero-filled; a text longer than its slot keeps its first slot - 1 bytes.
JobInfoAnsiRecord BuildJobInfoAnsi(const JobInfo& job);

// The UTF-16 record, zero-filled; a text longer than its slot keeps its first slot - 1 units.
JobInfoWideRecord BuildJobInfoWide(std::u16string_view printerName, std::u16string_view spareText,
                                   std::u16string_view displayText);

// The operating system class 0..6 from the plain version query: 1 Windows 98/Me, 2 Windows 2000,
// 5 XP/Server 2003, 6 version 6; 4 NT 4; 3 Windows 95 and anything else; 0 when the query fails.
int GetOSClass(IVersionQuery& version);

// How Orvix reads a CD_JOB_INFO record on a machine of the given class.
enum class JobInfoEncoding { None, Ansi, Wide };
JobInfoEncoding JobInfoEncodingFor(int osClass);

// The pipe names of the relay: the base followed by a decimal counter ("%s%ld").
inline constexpr std::string_view kPipeNameBase = "\\\\.\\pipe\\Z880kFUS";
std::string FormatPipeName(std::string_view base, std::int32_t counter);

// The command line that starts Orvix for a job ("/%s /%s"), without a program path.
std::string FormatJobCommandLine(std::string_view programName, std::string_view pipeName);

// True for a name in the local pipe namespace: "\\.\pipe\" in any letter case followed by a
// single name that path normalisation cannot move elsewhere (no separator, not only dots and
// blanks). Anything else could name a file, a device or a remote share.
bool IsLocalPipeName(std::string_view name);

// The zero-terminated text in `record[offset, offset + slot)`, never reading past the record;
// without a zero in the slot, its first slot - 1 bytes.
std::string FieldText(std::span<const std::uint8_t> record, std::size_t offset, std::size_t slot);

}  // namespace orvix
