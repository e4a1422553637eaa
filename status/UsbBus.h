#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orvix {

// Opaque handles of the USB bus port. The Win32 adapter stores HDEVINFO and file HANDLE values;
// fakes store their own tokens.
using UsbInterfaceSet = std::uintptr_t;
using UsbDevice = std::uintptr_t;

// The platform's "invalid handle" (INVALID_HANDLE_VALUE) for both kinds.
inline constexpr std::uintptr_t kInvalidUsbHandle = ~std::uintptr_t{0};

// Enumeration results, as the platform's error codes.
inline constexpr std::uint32_t kUsbEnumOk = 0;
inline constexpr std::uint32_t kUsbNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS

// Device control codes the printer answers.
inline constexpr std::uint32_t IOCTL_PAR_QUERY_DEVICE_ID = 0x0016000C;
inline constexpr std::uint32_t IOCTL_USBPRINT_VENDOR_GET_COMMAND = 0x0022003C;

// The USB printing class driver as the device search and the requests need it: the set of
// present USB printer interfaces, their device paths, and synchronous device control on an
// opened device. Every handle handed out is closed by the caller through the matching Close.
class IUsbBus {
public:
    virtual ~IUsbBus() = default;

    // The set of present interfaces of the USB printer class (SetupDiGetClassDevs, flags 0x12).
    // False and the system error code when the set cannot be had.
    virtual bool OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t& error) = 0;
    virtual void CloseInterfaceSet(UsbInterfaceSet set) = 0;

    // Enumerates interface `index` of the set: kUsbEnumOk, kUsbNoMoreItems, or another
    // (non-zero) system error code.
    virtual std::uint32_t EnumInterface(UsbInterfaceSet set, std::uint32_t index) = 0;

    // The device path of interface `index` (size query, allocation and detail fetch). False when
    // any of them fails.
    virtual bool GetInterfacePath(UsbInterfaceSet set, std::uint32_t index, std::string& path) = 0;

    // Opens a zero-terminated device path for reading and writing, shared, synchronous;
    // kInvalidUsbHandle when it cannot be opened.
    virtual UsbDevice OpenDevice(const char* path) = 0;
    virtual void CloseDevice(UsbDevice device) = 0;

    // Synchronous device control: `input` goes out, the reply lands in `output` (the two may be
    // the same bytes). False when the request failed; `bytesReturned` is the reply's length.
    virtual bool DeviceControl(UsbDevice device, std::uint32_t code,
                               std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                               std::uint32_t& bytesReturned) = 0;
};

}  // namespace orvix
