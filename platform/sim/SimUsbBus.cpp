#include "platform/sim/SimUsbBus.h"

#include <algorithm>

#include "platform/sim/SimState.h"

namespace orvix::sim {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorGenFailure = 31;

// Device paths compare without regard to case, as the platform's do.
bool SamePath(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

UsbInterfaceSet SimUsbBus::Issue() {
    const std::lock_guard guard(lock);
    const std::uintptr_t handle = next++;
    open.insert(handle);
    return handle;
}

bool SimUsbBus::Release(std::uintptr_t handle) {
    const std::lock_guard guard(lock);
    return open.erase(handle) != 0;
}

bool SimUsbBus::IsOpen(std::uintptr_t handle) const {
    const std::lock_guard guard(lock);
    return open.count(handle) != 0;
}

std::size_t SimUsbBus::OpenHandles() const {
    const std::lock_guard guard(lock);
    return open.size();
}

bool SimUsbBus::OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t&) {
    set = Issue();
    return true;
}

void SimUsbBus::CloseInterfaceSet(UsbInterfaceSet set) {
    Release(set);
}

std::uint32_t SimUsbBus::EnumInterface(UsbInterfaceSet set, std::uint32_t index) {
    if (!IsOpen(set)) {
        return kErrorInvalidHandle;
    }
    return index == 0 && LoadSimState().printer.present ? kUsbEnumOk : kUsbNoMoreItems;
}

bool SimUsbBus::GetInterfacePath(UsbInterfaceSet set, std::uint32_t index, std::string& path) {
    if (!IsOpen(set) || index != 0) {
        return false;
    }
    const SimState state = LoadSimState();
    if (!state.printer.present) {
        return false;
    }
    path = state.printer.path;
    return true;
}

UsbDevice SimUsbBus::OpenDevice(const char* path) {
    const SimState state = LoadSimState();
    if (!state.printer.present || !SamePath(state.printer.path, path)) {
        return kInvalidUsbHandle;
    }
    return Issue();
}

void SimUsbBus::CloseDevice(UsbDevice device) {
    Release(device);
}

bool SimUsbBus::DeviceControl(UsbDevice device, std::uint32_t code,
                              std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                              std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    if (!IsOpen(device)) {
        return false;
    }
    // Unplugged while open: the device no longer answers.
    const SimState state = LoadSimState();
    if (!state.printer.present || !state.printer.answers) {
        return false;
    }
    if (code == IOCTL_PAR_QUERY_DEVICE_ID) {
        const std::size_t copied = std::min(state.printer.deviceId.size(), output.size());
        std::copy_n(state.printer.deviceId.begin(), copied, output.begin());
        bytesReturned = static_cast<std::uint32_t>(copied);
        return true;
    }
    if (code != IOCTL_USBPRINT_VENDOR_GET_COMMAND || input.empty()) {
        return false;
    }
    std::array<std::uint8_t, 8> reply{};
    if (input[0] == 0x02 && state.printer.status) {
        reply = *state.printer.status;
    } else if (input[0] == 0x03) {
        reply = state.printer.serviceTag;
    } else {
        return false;
    }
    const std::size_t copied = std::min(reply.size(), output.size());
    std::copy_n(reply.begin(), copied, output.begin());
    bytesReturned = static_cast<std::uint32_t>(copied);
    return true;
}

}  // namespace orvix::sim
