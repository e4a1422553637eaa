#include "tests/fakes/FakeUsbBus.h"

#include <algorithm>
#include <cstring>

namespace orvix::test {

FakeUsbBus::Device& FakeUsbBus::AddPrinter(const std::string& path, const std::string& deviceId) {
    interfaces.push_back(Interface{kUsbEnumOk, false, path});
    Device device;
    device.path = path;
    device.deviceId = deviceId;
    devices.push_back(device);
    return devices.back();
}

FakeUsbBus::Device* FakeUsbBus::At(UsbDevice handle) {
    if (handle < kDeviceBase || handle - kDeviceBase >= devices.size()) {
        return nullptr;
    }
    return &devices[handle - kDeviceBase];
}

FakeUsbBus::Device* FakeUsbBus::Find(const char* path) {
    for (Device& device : devices) {
        if (device.path == path) {
            return &device;
        }
    }
    return nullptr;
}

bool FakeUsbBus::OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t& error) {
    if (setFails) {
        error = setError;
        return false;
    }
    ++setsOpened;
    ++setsOpenNow;
    set = kSetToken;
    return true;
}

void FakeUsbBus::CloseInterfaceSet(UsbInterfaceSet set) {
    if (set != kSetToken || setsOpenNow == 0) {
        ++badCloses;
        return;
    }
    --setsOpenNow;
}

std::uint32_t FakeUsbBus::EnumInterface(UsbInterfaceSet, std::uint32_t index) {
    ++enumCalls;
    return index < interfaces.size() ? interfaces[index].enumResult : pastEndResult;
}

bool FakeUsbBus::GetInterfacePath(UsbInterfaceSet, std::uint32_t index, std::string& path) {
    ++detailFetches;
    if (index >= interfaces.size() || interfaces[index].detailFails) {
        return false;
    }
    path = interfaces[index].path;
    return true;
}

UsbDevice FakeUsbBus::OpenDevice(const char* path) {
    for (std::size_t index = 0; index < devices.size(); ++index) {
        Device& device = devices[index];
        if (device.path != path) {
            continue;
        }
        ++device.openAttempts;
        if (!device.opens || device.opensLeft == 0) {
            return kInvalidUsbHandle;
        }
        if (device.opensLeft > 0) {
            --device.opensLeft;
        }
        ++device.openNow;
        return kDeviceBase + index;
    }
    ++unknownOpens;
    return kInvalidUsbHandle;
}

void FakeUsbBus::CloseDevice(UsbDevice handle) {
    Device* device = At(handle);
    if (device == nullptr || device->openNow == 0) {
        ++badCloses;
        return;
    }
    --device->openNow;
}

bool FakeUsbBus::DeviceControl(UsbDevice handle, std::uint32_t code,
                               std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                               std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    Device* open = At(handle);
    if (open == nullptr || open->openNow == 0) {
        ++requestsOnClosed;
        return false;
    }
    Device& device = *open;
    device.lastInputSize = input.size();
    device.lastOutputSize = output.size();
    device.lastInputWasOutput = input.data() == output.data();
    device.lastInputHead = {};
    std::copy_n(input.begin(), std::min<std::size_t>(input.size(), 3),
                device.lastInputHead.begin());

    if (code == IOCTL_PAR_QUERY_DEVICE_ID) {
        ++device.idRequests;
        if (device.idFails) {
            return false;
        }
        const std::size_t copied = std::min(device.deviceId.size(), output.size());
        std::memcpy(output.data(), device.deviceId.data(), copied);
        bytesReturned = device.idReturned.value_or(static_cast<std::uint32_t>(copied));
        return true;
    }
    if (code == IOCTL_USBPRINT_VENDOR_GET_COMMAND) {
        ++device.vendorRequests;
        device.lastRequestCode = input.empty() ? 0 : input[0];
        if (device.requestFails) {
            // A failing driver may still have scribbled on the reply, and claim it did.
            std::fill(output.begin(), output.end(), std::uint8_t{0xEE});
            bytesReturned = static_cast<std::uint32_t>(output.size());
            return false;
        }
        if (device.lastRequestCode != 0x02 && device.lastRequestCode != 0x03) {
            return false;
        }
        const auto& reply = device.lastRequestCode == 0x02 ? device.status : device.serviceTag;
        std::copy_n(reply.begin(), std::min(reply.size(), output.size()), output.begin());
        bytesReturned = device.replyReturned;
        return true;
    }
    return false;
}

bool FakeUsbBus::Balanced() const {
    return setsOpenNow == 0 && badCloses == 0 &&
           std::all_of(devices.begin(), devices.end(),
                       [](const Device& device) { return device.openNow == 0; });
}

}  // namespace orvix::test
