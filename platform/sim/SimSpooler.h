#pragma once
#include <map>
#include <mutex>
#include <string>

#include "status/Spooler.h"

namespace orvix::sim {

// Simulated print queues, read from the state file on every call: job counts (the spooler
// under Wine always reports none) and the driver of each local queue.
class SimSpooler final : public ISpooler {
public:
    bool OpenPrinter(const std::string& name, SpoolerPrinter& printer) override;
    void ClosePrinter(SpoolerPrinter printer) override;
    SpoolerCall GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) override;
    SpoolerCall EnumLocalPrinters(std::span<std::uint8_t> buffer) override;
    std::optional<PrinterRecord> RecordAt(std::span<const std::uint8_t> buffer,
                                          std::uint32_t index) override;

    // Queues opened and not yet closed.
    std::size_t OpenHandles() const;

private:
    mutable std::mutex lock;
    std::map<SpoolerPrinter, std::string> open;
    SpoolerPrinter next = 0x52000;
};

}  // namespace orvix::sim
