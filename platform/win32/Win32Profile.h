#pragma once
#include "platform/Profile.h"

namespace orvix::win32 {

// The platform's own profile functions.
class Win32Profile final : public IProfile {
public:
    std::string GetString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          std::size_t bufferSize) override;
    unsigned GetInt(const std::string& path, const std::string& section, const std::string& key,
                    int defaultValue) override;
    std::vector<char> GetSection(const std::string& path, const std::string& section,
                                 std::size_t bufferSize) override;
};

}  // namespace orvix::win32
