#include "platform/win32/Win32Pipe.h"

#include <algorithm>

#include "platform/win32/Win32Handles.h"

namespace orvix::win32 {

std::optional<std::size_t> Win32PipeClient::ReadOnce(const std::string& name,
                                                     std::span<std::uint8_t> buffer) {
    // Identification level only: the server may learn who reads, never act as this user.
    UniqueHandle pipe(::CreateFileA(
        name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (!pipe.Valid()) {
        return std::nullopt;
    }
    UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event.Valid()) {
        return 0;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.Get();
    const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    if (!::ReadFile(pipe.Get(), buffer.data(), size, nullptr, &overlapped)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_IO_PENDING && error != ERROR_MORE_DATA) {
            return 0;
        }
        if (error == ERROR_IO_PENDING &&
            ::WaitForSingleObject(event.Get(), static_cast<DWORD>(readWait.count())) !=
                WAIT_OBJECT_0) {
            ::CancelIo(pipe.Get());
        }
    }
    // Waits for the read or its cancellation, so the buffer is free when this returns.
    DWORD read = 0;
    if (!::GetOverlappedResult(pipe.Get(), &overlapped, &read, TRUE) &&
        ::GetLastError() != ERROR_MORE_DATA) {
        return 0;
    }
    return static_cast<std::size_t>(read);
}

}  // namespace orvix::win32
