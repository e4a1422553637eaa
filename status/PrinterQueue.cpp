#include "status/PrinterQueue.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <span>

#include "platform/Trace.h"

namespace orvix {
namespace {

// Far above any real printer list; a larger size is a confused spooler, not a buffer to make.
constexpr std::uint32_t kMaxSpoolerBuffer = 64u * 1024u * 1024u;

// Closes an opened queue once, on every way out.
class OpenedPrinter {
public:
    OpenedPrinter(ISpooler& spooler, SpoolerPrinter printer) : owner(spooler), value(printer) {}
    ~OpenedPrinter() { owner.ClosePrinter(value); }
    OpenedPrinter(const OpenedPrinter&) = delete;
    OpenedPrinter& operator=(const OpenedPrinter&) = delete;

    SpoolerPrinter Get() const { return value; }

private:
    ISpooler& owner;
    SpoolerPrinter value;
};

// A zero-filled buffer of the size the spooler asked for; empty when it cannot be had.
class RecordBuffer {
public:
    explicit RecordBuffer(std::uint32_t size) {
        if (size == 0 || size > kMaxSpoolerBuffer) {
            return;
        }
        bytes.reset(new (std::nothrow) std::uint8_t[size]());
        if (bytes) {
            length = size;
        }
    }

    bool Allocated() const { return bytes != nullptr; }
    std::span<std::uint8_t> Span() { return {bytes.get(), length}; }

private:
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t length = 0;
};

bool SizeQueryFailed(const SpoolerCall& call) {
    return !call.ok && call.error != kErrorInsufficientBuffer;
}

}  // namespace

std::int32_t GetJobCount(ISpooler& spooler, const std::string& printerName) {
    if (printerName.empty()) {
        return -1;
    }
    SpoolerPrinter raw = 0;
    if (!spooler.OpenPrinter(printerName, raw)) {
        Trace("OpenPrinter failed\n");
        return 0;
    }
    const OpenedPrinter printer(spooler, raw);

    const SpoolerCall size = spooler.GetPrinter(printer.Get(), {});
    if (SizeQueryFailed(size)) {
        return 0;
    }
    RecordBuffer buffer(size.needed);
    if (!buffer.Allocated() || !spooler.GetPrinter(printer.Get(), buffer.Span()).ok) {
        return 0;
    }
    const auto record = spooler.RecordAt(buffer.Span(), 0);
    if (!record) {
        return 0;
    }
    // A count beyond the signed range would read as "no jobs" to every caller.
    constexpr auto kMax = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(record->jobs > kMax ? kMax : record->jobs);
}

bool FindPrinterDriver(ISpooler& spooler, const std::string& printerName, std::string& driverName) {
    const SpoolerCall size = spooler.EnumLocalPrinters({});
    if (SizeQueryFailed(size)) {
        return false;
    }
    RecordBuffer buffer(size.needed);
    if (!buffer.Allocated()) {
        return false;
    }
    const SpoolerCall listed = spooler.EnumLocalPrinters(buffer.Span());
    if (!listed.ok) {
        return false;
    }
    for (std::uint32_t index = 0; index < listed.returned; ++index) {
        const auto record = spooler.RecordAt(buffer.Span(), index);
        if (!record) {
            break;
        }
        if (record->printerName == printerName) {
            driverName.assign(record->driverName);
            return true;
        }
    }
    return false;
}

}  // namespace orvix
