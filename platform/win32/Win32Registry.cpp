#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32Api.h"

#include "platform/win32/Win32Handles.h"

namespace orvix::win32 {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> Win32Registry::ReadValue(RegistryRoot root,
                                                                  const std::string& keyPath,
                                                                  const std::string& valueName,
                                                                  std::size_t bufferSize) {
    UniqueKey key;
    if (::RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(bufferSize);
    DWORD size = static_cast<DWORD>(bufferSize);
    if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size < bufferSize ? size : bufferSize);
    return data;
}

bool Win32Registry::WriteDword(RegistryRoot root, const std::string& keyPath,
                               const std::string& valueName, std::uint32_t value) {
    UniqueKey key;
    if (::RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_WRITE, key.Out()) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD data = value;
    ::RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&data), sizeof data);
    return true;
}

}  // namespace orvix::win32
