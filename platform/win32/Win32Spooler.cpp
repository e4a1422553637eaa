#include "platform/win32/Win32Spooler.h"

#include "platform/win32/Win32Api.h"

#include <winspool.h>

#include <cstring>

// The port's method names, not the A/W renames.
#undef OpenPrinter
#undef GetPrinter

namespace orvix::win32 {
namespace {

constexpr DWORD kLevel = 2;

HANDLE AsHandle(SpoolerPrinter printer) {
    return reinterpret_cast<HANDLE>(printer);
}

// The records are read in place, so the buffer must suit their alignment.
bool Usable(std::span<const std::uint8_t> buffer) {
    return reinterpret_cast<std::uintptr_t>(buffer.data()) % alignof(PRINTER_INFO_2A) == 0;
}

SpoolerCall Result(BOOL ok, DWORD needed, DWORD returned) {
    SpoolerCall call;
    call.ok = ok != FALSE;
    call.error = call.ok ? ERROR_SUCCESS : ::GetLastError();
    call.needed = needed;
    call.returned = call.ok ? returned : 0;
    return call;
}

// A text the record points at, accepted only inside the buffer and ending there.
std::optional<std::string_view> TextIn(std::span<const std::uint8_t> buffer, const char* text) {
    if (text == nullptr) {
        return std::string_view{};
    }
    const auto* begin = reinterpret_cast<const char*>(buffer.data());
    const auto* end = begin + buffer.size();
    if (text < begin || text >= end) {
        return std::nullopt;
    }
    const void* zero = std::memchr(text, '\0', static_cast<std::size_t>(end - text));
    if (zero == nullptr) {
        return std::nullopt;
    }
    return std::string_view(text, static_cast<std::size_t>(static_cast<const char*>(zero) - text));
}

}  // namespace

bool Win32Spooler::OpenPrinter(const std::string& name, SpoolerPrinter& printer) {
    HANDLE handle = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(name.c_str()), &handle, nullptr) || handle == nullptr) {
        return false;
    }
    printer = reinterpret_cast<SpoolerPrinter>(handle);
    return true;
}

void Win32Spooler::ClosePrinter(SpoolerPrinter printer) {
    ::ClosePrinter(AsHandle(printer));
}

SpoolerCall Win32Spooler::GetPrinter(SpoolerPrinter printer, std::span<std::uint8_t> buffer) {
    if (!Usable(buffer)) {
        return SpoolerCall{false, ERROR_INVALID_PARAMETER, 0, 0};
    }
    DWORD needed = 0;
    const BOOL ok =
        ::GetPrinterA(AsHandle(printer), kLevel, buffer.empty() ? nullptr : buffer.data(),
                      static_cast<DWORD>(buffer.size()), &needed);
    return Result(ok, needed, 1);
}

SpoolerCall Win32Spooler::EnumLocalPrinters(std::span<std::uint8_t> buffer) {
    if (!Usable(buffer)) {
        return SpoolerCall{false, ERROR_INVALID_PARAMETER, 0, 0};
    }
    DWORD needed = 0;
    DWORD returned = 0;
    const BOOL ok = ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, kLevel,
                                    buffer.empty() ? nullptr : buffer.data(),
                                    static_cast<DWORD>(buffer.size()), &needed, &returned);
    return Result(ok, needed, returned);
}

std::optional<PrinterRecord> Win32Spooler::RecordAt(std::span<const std::uint8_t> buffer,
                                                    std::uint32_t index) {
    if ((static_cast<std::size_t>(index) + 1) * sizeof(PRINTER_INFO_2A) > buffer.size() ||
        !Usable(buffer)) {
        return std::nullopt;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data()) + index;
    const auto name = TextIn(buffer, info->pPrinterName);
    const auto driver = TextIn(buffer, info->pDriverName);
    if (!name || !driver) {
        return std::nullopt;
    }
    return PrinterRecord{*name, *driver, info->cJobs};
}

}  // namespace orvix::win32
