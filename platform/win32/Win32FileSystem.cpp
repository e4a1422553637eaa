#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/Win32Api.h"

#include "platform/win32/Win32Handles.h"

namespace orvix::win32 {

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32FileSystem::ReadWholeFile(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return std::nullopt;
    }
    std::string data;
    char chunk[4096];
    DWORD got = 0;
    // A read error ends the data like the end of the file.
    while (::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got != 0) {
        data.append(chunk, got);
    }
    return data;
}

}  // namespace orvix::win32
