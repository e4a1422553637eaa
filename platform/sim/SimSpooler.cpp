#include "platform/sim/SimSpooler.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

#include "platform/sim/SimState.h"

namespace orvix::sim {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;

struct Queue {
    std::string_view name;
    std::string_view driver;
    std::uint32_t jobs = 0;
};

// A job count as written in the file; anything that is not a number counts as 0.
std::uint32_t JobsOf(const SimState& state, std::string_view name) {
    const std::string* text = FindQueue(state.jobs, name);
    std::uint32_t jobs = 0;
    if (text != nullptr) {
        std::from_chars(text->data(), text->data() + text->size(), jobs);
    }
    return jobs;
}

// Records packed as: name, zero, driver, zero, 4-byte job count (little-endian).
std::vector<std::uint8_t> Pack(const std::vector<Queue>& queues) {
    std::vector<std::uint8_t> bytes;
    for (const Queue& queue : queues) {
        bytes.insert(bytes.end(), queue.name.begin(), queue.name.end());
        bytes.push_back(0);
        bytes.insert(bytes.end(), queue.driver.begin(), queue.driver.end());
        bytes.push_back(0);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(queue.jobs >> shift));
        }
    }
    return bytes;
}

SpoolerCall Fill(const std::vector<Queue>& queues, std::span<std::uint8_t> buffer) {
    const std::vector<std::uint8_t> packed = Pack(queues);
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
    return Fill(
        {Queue{name, driver != nullptr ? *driver : std::string_view{}, JobsOf(state, name)}},
        buffer);
}

SpoolerCall SimSpooler::EnumLocalPrinters(std::span<std::uint8_t> buffer) {
    const SimState state = LoadSimState();
    std::vector<Queue> queues;
    for (const auto& [name, driver] : state.drivers) {
        queues.push_back(Queue{name, driver, JobsOf(state, name)});
    }
    if (queues.empty()) {
        // No local printers: the list is complete and empty.
        return SpoolerCall{true, 0, 0, 0};
    }
    return Fill(queues, buffer);
}

std::optional<PrinterRecord> SimSpooler::RecordAt(std::span<const std::uint8_t> buffer,
                                                  std::uint32_t index) {
    std::size_t at = 0;
    const auto text = [&](std::string_view& out) {
        const auto* begin = buffer.data() + at;
        const void* zero = std::memchr(begin, 0, buffer.size() - at);
        if (zero == nullptr) {
            return false;
        }
        const auto length =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - begin);
        out = std::string_view(reinterpret_cast<const char*>(begin), length);
        at += length + 1;
        return true;
    };
    for (std::uint32_t i = 0;; ++i) {
        PrinterRecord record;
        if (!text(record.printerName) || !text(record.driverName) || buffer.size() - at < 4) {
            return std::nullopt;
        }
        for (int shift = 0; shift < 32; shift += 8) {
            record.jobs |= static_cast<std::uint32_t>(buffer[at++]) << shift;
        }
        if (i == index) {
            return record;
        }
    }
}

}  // namespace orvix::sim
