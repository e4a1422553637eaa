#include "protocol/Protocol.h"

#include <algorithm>

#include "platform/BoundedText.h"

namespace orvix {
namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The UTF-16 units of one field, up to its zero, at most slot - 1 units.
std::u16string WideFieldUnits(std::span<const std::uint8_t> record, JobInfo::Field field) {
    const std::size_t offset = 2 * field.offset;
    if (offset >= record.size()) {
        return {};
    }
    const std::size_t units = std::min(field.slot, (record.size() - offset) / 2);
    std::u16string text;
    for (std::size_t i = 0; i < units && text.size() < field.slot - 1; ++i) {
        const auto unit =
            static_cast<char16_t>(record[offset + 2 * i] | (record[offset + 2 * i + 1] << 8));
        if (unit == 0) {
            return text;
        }
        text.push_back(unit);
    }
    // Cut without its zero: a pair's first half alone would convert to a stray character.
    if (!text.empty() && IsHighSurrogate(text.back())) {
        text.pop_back();
    }
    return text;
}

// Converts a field; a conversion longer than the slot allows keeps the longest prefix of whole
// characters that fits.
std::string ConvertField(std::u16string_view units, std::size_t slot, ITextConversion& conversion) {
    const std::size_t limit = slot - 1;
    std::string whole = conversion.WideToAnsi(units);
    if (whole.size() <= limit) {
        return whole;
    }
    const auto prefixEnd = [&](std::size_t n) {
        // Never end between the two halves of a pair.
        return n > 0 && n < units.size() && IsHighSurrogate(units[n - 1]) ? n - 1 : n;
    };
    std::size_t good = 0;  // prefix length known to fit
    std::size_t bad = units.size();
    std::string best;
    while (bad - good > 1) {
        const std::size_t mid = good + (bad - good) / 2;
        std::string converted = conversion.WideToAnsi(units.substr(0, prefixEnd(mid)));
        if (converted.size() <= limit) {
            good = mid;
            best = std::move(converted);
        } else {
            bad = mid;
        }
    }
    return best;
}

void PutAnsi(JobInfoAnsiRecord& record, std::string_view text, JobInfo::Field field) {
    const std::size_t length = std::min(text.size(), field.slot - 1);
    std::copy_n(text.begin(), length, record.begin() + static_cast<std::ptrdiff_t>(field.offset));
}

void PutWide(JobInfoWideRecord& record, std::u16string_view text, JobInfo::Field field) {
    const std::size_t length = std::min(text.size(), field.slot - 1);
    for (std::size_t i = 0; i < length; ++i) {
        const std::size_t at = 2 * (field.offset + i);
        record[at] = static_cast<std::uint8_t>(text[i] & 0xFF);
        record[at + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string FieldText(std::span<const std::uint8_t> record, std::size_t offset, std::size_t slot) {
    if (offset >= record.size() || slot == 0) {
        return {};
    }
    const auto field = record.subspan(offset, std::min(slot, record.size() - offset));
    return std::string(TextBeforeZero(field).substr(0, slot - 1));
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

JobInfo ParseJobInfoAnsi(std::span<const std::uint8_t> record) {
    const auto field = [&](JobInfo::Field f) { return FieldText(record, f.offset, f.slot); };
    return JobInfo{field(JobInfo::kPrinterName), field(JobInfo::kSpareText),
                   field(JobInfo::kDisplayText)};
}

JobInfo ParseJobInfoWide(std::span<const std::uint8_t> record, ITextConversion& conversion) {
    const auto field = [&](JobInfo::Field f) {
        return ConvertField(WideFieldUnits(record, f), f.slot, conversion);
    };
    return JobInfo{field(JobInfo::kPrinterName), field(JobInfo::kSpareText),
                   field(JobInfo::kDisplayText)};
}

JobInfoAnsiRecord BuildJobInfoAnsi(const JobInfo& job) {
    JobInfoAnsiRecord record{};
    PutAnsi(record, job.printerName, JobInfo::kPrinterName);
    PutAnsi(record, job.spareText, JobInfo::kSpareText);
    PutAnsi(record, job.displayText, JobInfo::kDisplayText);
    return record;
}

JobInfoWideRecord BuildJobInfoWide(std::u16string_view printerName, std::u16string_view spareText,
                                   std::u16string_view displayText) {
    JobInfoWideRecord record{};
    PutWide(record, printerName, JobInfo::kPrinterName);
    PutWide(record, spareText, JobInfo::kSpareText);
    PutWide(record, displayText, JobInfo::kDisplayText);
    return record;
}

int GetOSClass(IVersionQuery& version) {
    const auto info = version.GetVersionEx(/*extendedRecord=*/false);
    if (!info) {
        return 0;
    }
    constexpr std::uint32_t kWindows9x = 1;
    constexpr std::uint32_t kWindowsNt = 2;
    if (info->platformId == kWindows9x) {
        return info->minor < 10 ? 3 : 1;
    }
    if (info->platformId != kWindowsNt) {
        return 3;
    }
    switch (info->major) {
        case 4:
            return 4;
        case 5:
            return info->minor == 0 ? 2 : 5;
        case 6:
            return 6;
        default:
            return 3;
    }
}

JobInfoEncoding JobInfoEncodingFor(int osClass) {
    switch (osClass) {
        case 1:
        case 6:
            return JobInfoEncoding::Ansi;
        case 2:
        case 5:
            return JobInfoEncoding::Wide;
        default:
            return JobInfoEncoding::None;
    }
}

std::string FormatPipeName(std::string_view base, std::int32_t counter) {
    return std::string(base) + std::to_string(counter);
}

std::string FormatJobCommandLine(std::string_view programName, std::string_view pipeName) {
    std::string line = "/";
    line.append(programName);
    line.append(" /");
    line.append(pipeName);
    return line;
}

bool IsLocalPipeName(std::string_view name) {
    constexpr std::string_view kPrefix = "\\\\.\\pipe\\";
    if (name.size() <= kPrefix.size() ||
        !std::equal(kPrefix.begin(), kPrefix.end(), name.begin(),
                    [](char a, char b) { return a == LowerAscii(b); })) {
        return false;
    }
    const std::string_view rest = name.substr(kPrefix.size());
    // A separator or a name of dots ("..") would let path normalisation leave the namespace.
    if (rest.find_first_of("\\/") != std::string_view::npos) {
        return false;
    }
    return rest.find_first_not_of(". ") != std::string_view::npos;
}

}  // namespace orvix
