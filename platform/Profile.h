#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace orvix {

// Reads a profile (INI) file with the semantics of the Windows profile functions:
// section and key names without regard to case, blanks around a value removed, one pair of
// enclosing quotes dropped, a missing file read like an empty one.
class IProfile {
public:
    virtual ~IProfile() = default;

    // GetPrivateProfileStringA into a buffer of bufferSize bytes: at most bufferSize - 1
    // characters come back; a missing file, section or key gives defaultValue (cut alike).
    virtual std::string GetString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t bufferSize) = 0;

    // GetPrivateProfileIntA: the number at the start of the value, defaultValue if missing.
    virtual unsigned GetInt(const std::string& path, const std::string& section,
                            const std::string& key, int defaultValue) = 0;

    // GetPrivateProfileSectionA: the buffer exactly as the platform fills it, bufferSize bytes,
    // lines zero-terminated and the list ended by an empty string.
    virtual std::vector<char> GetSection(const std::string& path, const std::string& section,
                                         std::size_t bufferSize) = 0;
};

}  // namespace orvix
