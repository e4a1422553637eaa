#pragma once
#include <optional>
#include <string_view>

#include "platform/Profile.h"

namespace orvix {

// One profile file, read once and answered from memory by the same rules as the platform's
// profile functions (see PortableProfile).
class ProfileDocument {
public:
    // A line of the file: a key without "=" has no value.
    struct Entry {
        std::string name;
        std::optional<std::string> value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    // A missing or unreadable file reads like an empty one.
    static ProfileDocument Read(const std::string& path);
    static ProfileDocument Parse(std::string_view text);

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize) const;
    unsigned GetInt(const std::string& section, const std::string& key, int defaultValue) const;
    std::vector<char> GetSection(const std::string& section, std::size_t bufferSize) const;

private:
    std::vector<Section> sections;
};

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
