#include "platform/win32/Win32Profile.h"

#include "platform/win32/Win32Api.h"

namespace orvix::win32 {

std::string Win32Profile::GetString(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& defaultValue,
                                    std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    std::string buffer(bufferSize, '\0');
    const DWORD copied =
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                   buffer.data(), static_cast<DWORD>(bufferSize), path.c_str());
    buffer.resize(copied < bufferSize ? copied : bufferSize - 1);
    return buffer;
}

unsigned Win32Profile::GetInt(const std::string& path, const std::string& section,
                              const std::string& key, int defaultValue) {
    return ::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str());
}

std::vector<char> Win32Profile::GetSection(const std::string& path, const std::string& section,
                                           std::size_t bufferSize) {
    std::vector<char> buffer(bufferSize, '\0');
    if (bufferSize != 0) {
        ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(bufferSize),
                                    path.c_str());
    }
    return buffer;
}

}  // namespace orvix::win32
