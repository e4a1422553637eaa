#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "status/UsbBus.h"

namespace orvix::test {

// A scripted USB bus. The interfaces are listed in enumeration order (past the last one the
// bus answers "no more items"); devices are found by their path. Every handle handed out is
// counted, so a test can check that each open has its close. The open/request/close path
// allocates nothing, so it can stand in a test that counts allocations.
class FakeUsbBus final : public IUsbBus {
public:
    struct Interface {
        std::uint32_t enumResult = kUsbEnumOk;  // kUsbEnumOk, kUsbNoMoreItems or an error
        bool detailFails = false;
        std::string path;
    };
    struct Device {
        std::string path;
        bool opens = true;
        int opensLeft = -1;  // successful opens still allowed; -1: no limit
        // Device ID request.
        bool idFails = false;
        std::string deviceId;                     // copied into the reply, cut to its size
        std::optional<std::uint32_t> idReturned;  // bytes reported; default: bytes copied
        // Vendor requests.
        bool requestFails = false;
        std::array<std::uint8_t, 8> status{};
        std::array<std::uint8_t, 8> serviceTag{};
        std::uint32_t replyReturned = 8;  // bytes reported for a vendor reply
        // What happened to it.
        int openAttempts = 0;
        int openNow = 0;  // opened and not yet closed
        int idRequests = 0;
        int vendorRequests = 0;
        std::uint8_t lastRequestCode = 0;
        std::size_t lastInputSize = 0;
        std::size_t lastOutputSize = 0;
        bool lastInputWasOutput = false;  // the same bytes given as input and output
        std::array<std::uint8_t, 3> lastInputHead{};
    };

    // Adds an interface and its device; returns the device for further scripting (devices
    // never move once added).
    Device& AddPrinter(const std::string& path, const std::string& deviceId);
    Device* Find(const char* path);

    bool OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t& error) override;
    void CloseInterfaceSet(UsbInterfaceSet set) override;
    std::uint32_t EnumInterface(UsbInterfaceSet set, std::uint32_t index) override;
    bool GetInterfacePath(UsbInterfaceSet set, std::uint32_t index, std::string& path) override;
    UsbDevice OpenDevice(const char* path) override;
    void CloseDevice(UsbDevice device) override;
    bool DeviceControl(UsbDevice device, std::uint32_t code, std::span<const std::uint8_t> input,
                       std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;

    // True when every set and device opened has been closed exactly once.
    bool Balanced() const;

    std::vector<Interface> interfaces;
    std::deque<Device> devices;
    // Script of the interface set.
    bool setFails = false;
    std::uint32_t setError = 0;
    // What enumeration answers past the last interface.
    std::uint32_t pastEndResult = kUsbNoMoreItems;
    // Counters.
    int setsOpened = 0;
    int setsOpenNow = 0;
    int enumCalls = 0;
    int detailFetches = 0;
    int unknownOpens = 0;  // paths no device answers to
    int badCloses = 0;     // closes of handles not open
    int requestsOnClosed = 0;

private:
    Device* At(UsbDevice handle);

    static constexpr UsbDevice kDeviceBase = 0x1000;
    static constexpr UsbInterfaceSet kSetToken = 0x5E7;
};

class FakeDebugOutput final : public IDebugOutput {
public:
    void Write(const char* text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

}  // namespace orvix::test
