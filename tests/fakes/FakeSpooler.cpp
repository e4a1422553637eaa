#include "tests/fakes/FakeSpooler.h"

#include "status/PackedPrinterRecords.h"

#include <algorithm>
#include <cstring>

namespace orvix::test {

bool FakeSpooler::OpenPrinter(const std::string& name, SpoolerPrinter& printer) {
    for (std::size_t index = 0; index < queues.size(); ++index) {
        if (queues[index].name == name) {
            ++opens;
            ++openNow;
            printer = kPrinterBase + index;
            open.push_back(printer);
            return true;
        }
    }
    return false;
}

void FakeSpooler::ClosePrinter(SpoolerPrinter printer) {
    const auto found = std::find(open.begin(), open.end(), printer);
    if (found == open.end()) {
        ++badCloses;
        return;
    }
    open.erase(found);
    --openNow;
}

SpoolerCall FakeSpooler::Fill(const std::vector<const Queue*>& records,
                              std::span<std::uint8_t> buffer, std::uint32_t sizeError,
                              bool readFails) {
    std::vector<PrinterRecord> views;
    for (const Queue* queue : records) {
        views.push_back(PrinterRecord{queue->name, queue->driver, queue->jobs});
    }
    const std::vector<std::uint8_t> packed = PackPrinterRecords(views);
    SpoolerCall call;
    call.needed = static_cast<std::uint32_t>(packed.size());
    if (buffer.empty()) {
        call.ok = sizeError == 0;
        call.error = sizeError;
        return call;
    }
    if (std::any_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b != 0; })) {
        buffersZeroed = false;
    }
    if (readFails) {
        call.error = 5;  // ERROR_ACCESS_DENIED
        return call;
    }
    if (buffer.size() < packed.size()) {
        call.error = kErrorInsufficientBuffer;
        return call;
    }
    std::memcpy(buffer.data(), packed.data(), packed.size());
    call.ok = true;
    call.returned = static_cast<std::uint32_t>(records.size());
    return call;
}

SpoolerCall FakeSpooler::GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) {
    ++getCalls;
    if (std::find(open.begin(), open.end(), printer) == open.end()) {
        return SpoolerCall{false, 6, 0, 0};  // ERROR_INVALID_HANDLE
    }
    return Fill({&queues[printer - kPrinterBase]}, buffer, getSizeError, getReadFails);
}

SpoolerCall FakeSpooler::EnumLocalPrinters(std::span<std::uint8_t> buffer) {
    ++enumCalls;
    std::vector<const Queue*> records;
    for (const Queue& queue : queues) {
        records.push_back(&queue);
    }
    return Fill(records, buffer, enumSizeError, enumReadFails);
}

std::optional<PrinterRecord> FakeSpooler::RecordAt(std::span<const std::uint8_t> buffer,
                                                   std::uint32_t index) {
    return PackedRecordAt(buffer, index);
}

}  // namespace orvix::test
