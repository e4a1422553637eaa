#include "platform/sim/SimSpooler.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/sim/SimState.h"
#include "status/PackedPrinterRecords.h"

namespace orvix::sim {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;

// A job count as written in the file; anything that is not a number counts as 0.
std::uint32_t JobsOf(const SimState& state, std::string_view name) {
    const std::string* text = FindQueue(state.jobs, name);
    std::uint32_t jobs = 0;
    if (text != nullptr) {
        std::from_chars(text->data(), text->data() + text->size(), jobs);
    }
    return jobs;
}

SpoolerCall Fill(const std::vector<PrinterRecord>& queues, std::span<std::uint8_t> buffer) {
    const std::vector<std::uint8_t> packed = PackPrinterRecords(queues);
    SpoolerCall call;
    call.needed = static_cast<std::uint32_t>(packed.size());
    if (buffer.size() < packed.size() || buffer.empty()) {
        call.error = kErrorInsufficientBuffer;
        return call;
    }
    std::copy(packed.begin(), packed.end(), buffer.begin());
    call.ok = true;
    call.returned = static_cast<std::uint32_t>(queues.size());
    return call;
}

}  // namespace

bool SimSpooler::OpenPrinter(const std::string& name, SpoolerPrinter& printer) {
    const SimState state = LoadSimState();
    if (FindQueue(state.jobs, name) == nullptr && FindQueue(state.drivers, name) == nullptr) {
        return false;
    }
    const std::lock_guard guard(lock);
    printer = next++;
    open.emplace(printer, name);
    return true;
}

void SimSpooler::ClosePrinter(SpoolerPrinter printer) {
    const std::lock_guard guard(lock);
    open.erase(printer);
}

std::size_t SimSpooler::OpenHandles() const {
    const std::lock_guard guard(lock);
    return open.size();
}

SpoolerCall SimSpooler::GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) {
    std::string name;
    {
        const std::lock_guard guard(lock);
        const auto found = open.find(printer);
        if (found == open.end()) {
            return SpoolerCall{false, kErrorInvalidHandle, 0, 0};
        }
        name = found->second;
    }
    const SimState state = LoadSimState();
    const std::string* driver = FindQueue(state.drivers, name);
    return Fill({PrinterRecord{name, driver != nullptr ? *driver : std::string_view{},
                               JobsOf(state, name)}},
                buffer);
}

SpoolerCall SimSpooler::EnumLocalPrinters(std::span<std::uint8_t> buffer) {
    const SimState state = LoadSimState();
    std::vector<PrinterRecord> queues;
    for (const auto& [name, driver] : state.drivers) {
        queues.push_back(PrinterRecord{name, driver, JobsOf(state, name)});
    }
    if (queues.empty()) {
        // No local printers: the list is complete and empty.
        return SpoolerCall{true, 0, 0, 0};
    }
    return Fill(queues, buffer);
}

std::optional<PrinterRecord> SimSpooler::RecordAt(std::span<const std::uint8_t> buffer,
                                                  std::uint32_t index) {
    return PackedRecordAt(buffer, index);
}

}  // namespace orvix::sim
