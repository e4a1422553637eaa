#pragma once
#include <mutex>
#include <set>

#include "status/UsbBus.h"

namespace orvix::sim {

// A simulated USB printer, read from the state file on every call, so that a test or the demo
// can plug, unplug and change it while the programs run.
class SimUsbBus final : public IUsbBus {
public:
    bool OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t& error) override;
    void CloseInterfaceSet(UsbInterfaceSet set) override;
    std::uint32_t EnumInterface(UsbInterfaceSet set, std::uint32_t index) override;
    bool GetInterfacePath(UsbInterfaceSet set, std::uint32_t index, std::string& path) override;
    UsbDevice OpenDevice(const char* path) override;
    void CloseDevice(UsbDevice device) override;
    bool DeviceControl(UsbDevice device, std::uint32_t code, std::span<const std::uint8_t> input,
                       std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;

    // Sets and devices handed out and not yet closed.
    std::size_t OpenHandles() const;

private:
    UsbInterfaceSet Issue();
    bool Release(std::uintptr_t handle);
    bool IsOpen(std::uintptr_t handle) const;

    mutable std::mutex lock;
    std::set<std::uintptr_t> open;
    std::uintptr_t next = 0x51000;
};

}  // namespace orvix::sim
