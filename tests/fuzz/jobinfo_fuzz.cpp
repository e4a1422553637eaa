// Reads job records of any length in both encodings and checks that every field stays inside
// its slot, holds no zero, and survives being written back into a record.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol/Protocol.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Beyond ASCII every character takes two bytes, as in a double-byte code page, so that the
// cut of an overlong conversion is exercised; a unit of 0xFFFF fails the whole conversion.
class TwoByteConversion final : public orvix::ITextConversion {
public:
    std::string WideToAnsi(std::u16string_view text) override {
        std::string ansi;
        for (const char16_t unit : text) {
            if (unit == 0xFFFF) {
                return {};
            }
            if (unit < 0x80) {
                ansi.push_back(static_cast<char>(unit));
            } else {
                ansi.push_back('\x81');
                ansi.push_back(static_cast<char>(0x40 + (unit & 0x3F)));
            }
        }
        return ansi;
    }
};

void CheckFields(const orvix::JobInfo& job) {
    using orvix::JobInfo;
    Check(job.printerName.size() < JobInfo::kPrinterName.slot);
    Check(job.spareText.size() < JobInfo::kSpareText.slot);
    Check(job.displayText.size() < JobInfo::kDisplayText.slot);
    for (const std::string* text : {&job.printerName, &job.spareText, &job.displayText}) {
        Check(text->find('\0') == std::string::npos);
    }
    // Whatever was read fits the record again, unchanged.
    Check(orvix::ParseJobInfoAnsi(orvix::BuildJobInfoAnsi(job)) == job);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> record(data, size);
    const orvix::JobInfo ansi = orvix::ParseJobInfoAnsi(record);
    CheckFields(ansi);
    if (size < orvix::JobInfo::kPrinterName.slot) {
        Check(ansi.spareText.empty() && ansi.displayText.empty());
    }

    TwoByteConversion conversion;
    const orvix::JobInfo wide = orvix::ParseJobInfoWide(record, conversion);
    CheckFields(wide);
    if (size < 2 * orvix::JobInfo::kSpareText.offset + 2) {
        Check(wide.spareText.empty() && wide.displayText.empty());
    }
    return 0;
}
