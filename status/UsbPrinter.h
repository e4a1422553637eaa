#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/DebugOutput.h"
#include "status/StatusInfo.h"
#include "status/UsbBus.h"

namespace orvix {

// The stored device path: zero-terminated, at most 254 characters.
inline constexpr std::size_t kDevicePathSize = 255;
using DevicePath = std::array<char, kDevicePathSize>;

inline constexpr std::size_t kDeviceIdSize = 255;
inline constexpr std::size_t kUsbReplySize = 8;
inline constexpr std::uint8_t kStatusRequest = 0x02;
inline constexpr std::uint8_t kServiceTagRequest = 0x03;

// Owns one opened printer device and closes it through its bus, once.
class UsbDeviceHandle {
public:
    UsbDeviceHandle() = default;
    UsbDeviceHandle(IUsbBus& bus, UsbDevice device) : owner(&bus), value(device) {}
    ~UsbDeviceHandle() { Reset(); }
    UsbDeviceHandle(UsbDeviceHandle&& other) noexcept
        : owner(other.owner), value(std::exchange(other.value, kInvalidUsbHandle)) {}
    UsbDeviceHandle& operator=(UsbDeviceHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            owner = other.owner;
            value = std::exchange(other.value, kInvalidUsbHandle);
        }
        return *this;
    }
    UsbDeviceHandle(const UsbDeviceHandle&) = delete;
    UsbDeviceHandle& operator=(const UsbDeviceHandle&) = delete;

    bool Valid() const { return owner != nullptr && value != kInvalidUsbHandle; }
    UsbDevice Get() const { return value; }
    IUsbBus* Bus() const { return owner; }

private:
    void Reset() {
        if (Valid()) {
            owner->CloseDevice(value);
        }
        value = kInvalidUsbHandle;
    }

    IUsbBus* owner = nullptr;
    UsbDevice value = kInvalidUsbHandle;
};

// What the two vendor requests need of the application: its ports, the model string that
// recognises the printer and the stored device path, which a search rewrites.
struct UsbPrinterAccess {
    IUsbBus& usb;
    IDebugOutput& debugOutput;
    const std::string& modelString;
    DevicePath& devicePath;
};

// The stored path as text: up to its first zero, empty when it holds none.
std::string_view DevicePathText(const DevicePath& path);

// Opens `path` (zero-terminated); an empty path gives the invalid handle without an attempt.
UsbDeviceHandle OpenPrinterDevice(IUsbBus& usb, const char* path);

// The IEEE 1284 device ID of an opened device. False for the invalid handle, a failed request
// or an empty reply; `deviceId` is then left as it was.
bool QueryDeviceId(const UsbDeviceHandle& device, std::string& deviceId);

// True when `model` occurs in `deviceId`, byte for byte with case; false if either is empty.
bool MatchModel(std::string_view model, std::string_view deviceId);

// Finds the first present USB printer whose device ID holds `model` and writes its device path
// into `path`. False leaves `path` untouched.
bool FindPrinterDevice(IUsbBus& usb, IDebugOutput& debugOutput, DevicePath& path,
                       std::string_view model);

// The vendor requests on the stored path, searching again once when it no longer opens. The
// reply is all zero unless the request succeeded.
bool GetStatusData(const UsbPrinterAccess& printer, std::span<std::uint8_t, kUsbReplySize> record);
bool GetServiceTagData(const UsbPrinterAccess& printer,
                       std::span<std::uint8_t, kUsbReplySize> reply);

// The service tag in a reply: the text up to its first zero, never beyond the 8 bytes.
std::string ServiceTagText(std::span<const std::uint8_t, kUsbReplySize> reply);

// A fresh status reading (job start, supplies order address): the record is decoded into
// `status` whatever the request did (a failure decodes as the all-zero record). Returns the
// request's result.
bool ReadPrinterStatus(const UsbPrinterAccess& printer, StatusInfo& status);

}  // namespace orvix
