#pragma once
#include "status/UsbBus.h"

namespace orvix::win32 {

// The USB printing class driver through SetupAPI and DeviceIoControl. Every handle it hands
// out is closed by the caller through the matching Close.
class Win32UsbBus final : public IUsbBus {
public:
    bool OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t& error) override;
    void CloseInterfaceSet(UsbInterfaceSet set) override;
    std::uint32_t EnumInterface(UsbInterfaceSet set, std::uint32_t index) override;
    bool GetInterfacePath(UsbInterfaceSet set, std::uint32_t index, std::string& path) override;
    UsbDevice OpenDevice(const char* path) override;
    void CloseDevice(UsbDevice device) override;
    bool DeviceControl(UsbDevice device, std::uint32_t code, std::span<const std::uint8_t> input,
                       std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;
};

}  // namespace orvix::win32
