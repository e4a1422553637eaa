#pragma once
#include "platform/Profile.h"

namespace orvix {

// A profile reader without Windows that answers as the platform's profile functions do
// (the Windows test suite compares the two on shared fixtures). Files are read as bytes in
// the ANSI code page; a missing or unreadable file reads like an empty one.
class PortableProfile final : public IProfile {
public:
    std::string GetString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          std::size_t bufferSize) override;
    unsigned GetInt(const std::string& path, const std::string& section, const std::string& key,
                    int defaultValue) override;
    std::vector<char> GetSection(const std::string& path, const std::string& section,
                                 std::size_t bufferSize) override;
};

}  // namespace orvix
