#include "platform/win32/Win32UsbBus.h"

#include "platform/win32/Win32Api.h"

#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

namespace orvix::win32 {
namespace {

// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}: the USB printer device interface class.
constexpr GUID GUID_DEVINTERFACE_USBPRINT = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
constexpr DWORD kPresentInterfaces = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;  // 0x12

HDEVINFO AsSet(UsbInterfaceSet set) {
    return reinterpret_cast<HDEVINFO>(set);
}
HANDLE AsHandle(UsbDevice device) {
    return reinterpret_cast<HANDLE>(device);
}

// The error of a call that just failed; a failure that left no error still reads as one.
DWORD FailureCode() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

bool Enumerate(HDEVINFO set, DWORD index, SP_DEVICE_INTERFACE_DATA& data) {
    data = {};
    data.cbSize = sizeof data;
    return ::SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_USBPRINT, index, &data) !=
           FALSE;
}

}  // namespace

bool Win32UsbBus::OpenInterfaceSet(UsbInterfaceSet& set, std::uint32_t& error) {
    const HDEVINFO devices =
        ::SetupDiGetClassDevsA(&GUID_DEVINTERFACE_USBPRINT, nullptr, nullptr, kPresentInterfaces);
    if (devices == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return false;
    }
    set = reinterpret_cast<UsbInterfaceSet>(devices);
    return true;
}

void Win32UsbBus::CloseInterfaceSet(UsbInterfaceSet set) {
    if (set != kInvalidUsbHandle) {
        ::SetupDiDestroyDeviceInfoList(AsSet(set));
    }
}

std::uint32_t Win32UsbBus::EnumInterface(UsbInterfaceSet set, std::uint32_t index) {
    SP_DEVICE_INTERFACE_DATA data;
    return Enumerate(AsSet(set), index, data) ? kUsbEnumOk : FailureCode();
}

bool Win32UsbBus::GetInterfacePath(UsbInterfaceSet set, std::uint32_t index, std::string& path) {
    SP_DEVICE_INTERFACE_DATA data;
    if (!Enumerate(AsSet(set), index, data)) {
        return false;
    }
    DWORD required = 0;
    ::SetupDiGetDeviceInterfaceDetailA(AsSet(set), &data, nullptr, 0, &required, nullptr);
    constexpr DWORD kHeader = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    if (required <= kHeader) {
        return false;
    }
    // DWORD elements keep the record's alignment.
    std::vector<DWORD> storage;
    try {
        storage.resize((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!::SetupDiGetDeviceInterfaceDetailA(AsSet(set), &data, detail, required, nullptr,
                                            nullptr)) {
        return false;
    }
    const std::size_t room = required - kHeader;
    path.assign(detail->DevicePath, ::strnlen(detail->DevicePath, room));
    return true;
}

UsbDevice Win32UsbBus::OpenDevice(const char* path) {
    const HANDLE device =
        ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE || device == nullptr) {
        return kInvalidUsbHandle;
    }
    return reinterpret_cast<UsbDevice>(device);
}

void Win32UsbBus::CloseDevice(UsbDevice device) {
    if (device != kInvalidUsbHandle) {
        ::CloseHandle(AsHandle(device));
    }
}

bool Win32UsbBus::DeviceControl(UsbDevice device, std::uint32_t code,
                                std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                                std::uint32_t& bytesReturned) {
    DWORD returned = 0;
    const BOOL ok =
        ::DeviceIoControl(AsHandle(device), code, const_cast<std::uint8_t*>(input.data()),
                          static_cast<DWORD>(input.size()), output.data(),
                          static_cast<DWORD>(output.size()), &returned, nullptr);
    bytesReturned = ok ? returned : 0;
    return ok != FALSE;
}

}  // namespace orvix::win32
