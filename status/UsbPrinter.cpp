#include "status/UsbPrinter.h"

#include <algorithm>
#include <cstdio>

#include "platform/BoundedText.h"
#include "platform/Trace.h"

namespace orvix {
namespace {

// No machine has this many USB printer interfaces; the bound keeps a bus that keeps failing
// with errors other than "no more items" from holding the search forever.
constexpr std::uint32_t kMaxInterfaceIndex = 1024;

// Owns the set of present interfaces for one search.
class InterfaceSetHandle {
public:
    InterfaceSetHandle(IUsbBus& bus, UsbInterfaceSet set) : owner(bus), value(set) {}
    ~InterfaceSetHandle() { owner.CloseInterfaceSet(value); }
    InterfaceSetHandle(const InterfaceSetHandle&) = delete;
    InterfaceSetHandle& operator=(const InterfaceSetHandle&) = delete;

    UsbInterfaceSet Get() const { return value; }

private:
    IUsbBus& owner;
    UsbInterfaceSet value;
};

// A path can be stored only whole, with its terminating zero, and only if no zero inside it
// would make it name another device.
bool Storable(const std::string& path) {
    return path.size() < kDevicePathSize && path.find('\0') == std::string::npos;
}

// The stored path as a zero-terminated text; a path without its zero counts as empty.
const char* StoredPath(const DevicePath& path) {
    return DevicePathText(path).empty() ? "" : path.data();
}

bool SendVendorRequest(const UsbDeviceHandle& device, std::uint8_t request,
                       std::span<std::uint8_t, kUsbReplySize> reply) {
    const std::array<std::uint8_t, 3> input = {request, 0, 0};
    std::uint32_t returned = 0;
    const bool ok = device.Bus()->DeviceControl(device.Get(), IOCTL_USBPRINT_VENDOR_GET_COMMAND,
                                                input, reply, returned);
    // Only the bytes the printer reported count; anything else stays zero.
    const std::size_t valid = ok ? std::min<std::size_t>(returned, kUsbReplySize) : 0;
    std::fill(reply.begin() + static_cast<std::ptrdiff_t>(valid), reply.end(), std::uint8_t{0});
    return ok;
}

bool Request(const UsbPrinterAccess& printer, std::uint8_t request,
             std::span<std::uint8_t, kUsbReplySize> reply) {
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    UsbDeviceHandle device = OpenPrinterDevice(printer.usb, StoredPath(printer.devicePath));
    if (!device.Valid()) {
        // Unplugged or moved to another port: one search, then the new path or nothing.
        Trace("Stored device path does not open; searching\n");
        if (!FindPrinterDevice(printer.usb, printer.debugOutput, printer.devicePath,
                               printer.modelString)) {
            return false;
        }
        device = OpenPrinterDevice(printer.usb, StoredPath(printer.devicePath));
        if (!device.Valid()) {
            return false;
        }
    }
    return SendVendorRequest(device, request, reply);
}

}  // namespace

std::string_view DevicePathText(const DevicePath& path) {
    const std::string_view text = TextBeforeZero(path);
    return text.size() < path.size() ? text : std::string_view{};
}

UsbDeviceHandle OpenPrinterDevice(IUsbBus& usb, const char* path) {
    if (path == nullptr || *path == '\0') {
        return {};
    }
    return UsbDeviceHandle(usb, usb.OpenDevice(path));
}

bool QueryDeviceId(const UsbDeviceHandle& device, std::string& deviceId) {
    if (!device.Valid()) {
        return false;
    }
    std::array<std::uint8_t, kDeviceIdSize> buffer{};
    std::uint32_t returned = 0;
    if (!device.Bus()->DeviceControl(device.Get(), IOCTL_PAR_QUERY_DEVICE_ID, buffer, buffer,
                                     returned) ||
        returned == 0) {
        return false;
    }
    deviceId =
        TextBeforeZero(std::span(buffer).first(std::min<std::size_t>(returned, buffer.size())));
    return true;
}

bool MatchModel(std::string_view model, std::string_view deviceId) {
    return !model.empty() && !deviceId.empty() && deviceId.find(model) != std::string_view::npos;
}

bool FindPrinterDevice(IUsbBus& usb, IDebugOutput& debugOutput, DevicePath& path,
                       std::string_view model) {
    UsbInterfaceSet rawSet = kInvalidUsbHandle;
    std::uint32_t error = 0;
    if (!usb.OpenInterfaceSet(rawSet, error)) {
        char message[64];
        std::snprintf(message, sizeof message, "QvUSBOPEN: SetupDiGetClassDevs fail!! (%d)\n",
                      static_cast<int>(error));
        debugOutput.Write(message);
        return false;
    }
    const InterfaceSetHandle set(usb, rawSet);

    std::string candidate;
    std::string deviceId;
    for (std::uint32_t index = 0; index < kMaxInterfaceIndex; ++index) {
        const std::uint32_t result = usb.EnumInterface(set.Get(), index);
        if (result == kUsbNoMoreItems) {
            return false;
        }
        if (result != kUsbEnumOk) {
            continue;
        }
        candidate.clear();
        if (!usb.GetInterfacePath(set.Get(), index, candidate)) {
            Trace("Interface detail of index %u unavailable\n", index);
            return false;
        }
        // A path that cannot be stored whole can never be used; leave its device alone.
        if (!Storable(candidate)) {
            continue;
        }
        const UsbDeviceHandle device = OpenPrinterDevice(usb, candidate.c_str());
        if (!device.Valid() || !QueryDeviceId(device, deviceId)) {
            continue;
        }
        if (MatchModel(model, deviceId)) {
            path.fill('\0');
            std::copy(candidate.begin(), candidate.end(), path.begin());
            return true;
        }
    }
    return false;
}

bool GetStatusData(const UsbPrinterAccess& printer, std::span<std::uint8_t, kUsbReplySize> record) {
    return Request(printer, kStatusRequest, record);
}

bool GetServiceTagData(const UsbPrinterAccess& printer,
                       std::span<std::uint8_t, kUsbReplySize> reply) {
    return Request(printer, kServiceTagRequest, reply);
}

std::string ServiceTagText(std::span<const std::uint8_t, kUsbReplySize> reply) {
    return std::string(TextBeforeZero(reply));
}

bool ReadPrinterStatus(const UsbPrinterAccess& printer, StatusInfo& status) {
    std::array<std::uint8_t, kUsbReplySize> record{};
    const bool ok = GetStatusData(printer, record);
    status.Decode(record.data(), record.size());
    return ok;
}

}  // namespace orvix
