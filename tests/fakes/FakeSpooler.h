#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "status/Spooler.h"

namespace orvix::test {

// A scripted spooler. Its local printers are listed in the order given; each call can be made
// to fail with a chosen error. Records are packed into the caller's buffer in a layout of
// this fake's own (name, zero, driver, zero, 4-byte job count), so the logic only finds them
// if it reads into a buffer of the size reported and hands that buffer back.
class FakeSpooler final : public ISpooler {
public:
    struct Queue {
        std::string name;
        std::string driver;
        std::uint32_t jobs = 0;
    };

    bool OpenPrinter(const std::string& name, SpoolerPrinter& printer) override;
    void ClosePrinter(SpoolerPrinter printer) override;
    SpoolerCall GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) override;
    SpoolerCall EnumLocalPrinters(std::span<std::uint8_t> buffer) override;
    std::optional<PrinterRecord> RecordAt(std::span<const std::uint8_t> buffer,
                                          std::uint32_t index) override;

    bool Balanced() const { return openNow == 0 && badCloses == 0; }

    std::vector<Queue> queues;
    // Scripts: the error a size query fails with (0: the size query succeeds), a failing read.
    std::uint32_t getSizeError = kErrorInsufficientBuffer;
    bool getReadFails = false;
    std::uint32_t enumSizeError = kErrorInsufficientBuffer;
    bool enumReadFails = false;
    // Counters.
    int opens = 0;
    int openNow = 0;
    int badCloses = 0;
    int getCalls = 0;
    int enumCalls = 0;
    bool buffersZeroed = true;  // every buffer handed in was zero-filled

private:
    SpoolerCall Fill(const std::vector<const Queue*>& records, std::span<std::uint8_t> buffer,
                     std::uint32_t sizeError, bool readFails);

    static constexpr SpoolerPrinter kPrinterBase = 0x7000;
    std::vector<SpoolerPrinter> open;
};

}  // namespace orvix::test
