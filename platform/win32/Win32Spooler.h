#pragma once
#include "status/Spooler.h"

namespace orvix::win32 {

// The print spooler's level-2 calls (winspool). Stateless, so several threads may use it.
class Win32Spooler final : public ISpooler {
public:
    bool OpenPrinter(const std::string& name, SpoolerPrinter& printer) override;
    void ClosePrinter(SpoolerPrinter printer) override;
    SpoolerCall GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) override;
    SpoolerCall EnumLocalPrinters(std::span<std::uint8_t> buffer) override;
    std::optional<PrinterRecord> RecordAt(std::span<const std::uint8_t> buffer,
                                          std::uint32_t index) override;
};

}  // namespace orvix::win32
