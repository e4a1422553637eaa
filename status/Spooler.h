#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvix {

// An opened print queue as the spooler port hands it out (the Win32 adapter stores the
// printer HANDLE; fakes store their own tokens).
using SpoolerPrinter = std::uintptr_t;

inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER

// The result of a spooler call that fills a caller's buffer.
struct SpoolerCall {
    bool ok = false;
    std::uint32_t error = 0;     // the system error code when !ok
    std::uint32_t needed = 0;    // bytes the full answer needs
    std::uint32_t returned = 0;  // records written (enumeration only)
};

// The three members of a level-2 printer record that the system reads. The views point into
// the buffer the record was read into.
struct PrinterRecord {
    std::string_view printerName;
    std::string_view driverName;
    std::uint32_t jobs = 0;
};

// The print spooler, shaped like its level-2 calls: the caller asks for the size, allocates,
// reads into its own buffer and then looks at the records in it. The operations keep no state
// between calls and may be used from several threads at once.
class ISpooler {
public:
    virtual ~ISpooler() = default;

    // OpenPrinterA with default access and no defaults. False when the queue does not open.
    virtual bool OpenPrinter(const std::string& name, SpoolerPrinter& printer) = 0;
    virtual void ClosePrinter(SpoolerPrinter printer) = 0;

    // GetPrinterA level 2 into `buffer`; an empty buffer is the size query.
    virtual SpoolerCall GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) = 0;

    // EnumPrintersA(PRINTER_ENUM_LOCAL, no name, level 2) into `buffer`; an empty buffer is the
    // size query.
    virtual SpoolerCall EnumLocalPrinters(std::span<std::uint8_t> buffer) = 0;

    // Record `index` of a buffer that a successful GetPrinter (index 0) or EnumLocalPrinters
    // filled; nullopt when the buffer holds no such record.
    virtual std::optional<PrinterRecord> RecordAt(std::span<const std::uint8_t> buffer,
                                                  std::uint32_t index) = 0;
};

}  // namespace orvix
