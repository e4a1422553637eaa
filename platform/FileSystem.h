#pragma once
#include <optional>
#include <string>

namespace orvix {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    virtual bool FileExists(const std::string& path) = 0;

    // Opens an existing file for reading (shared for reading) and returns its bytes; nullopt
    // when it cannot be opened. A read error ends the data early, like the end of the file.
    virtual std::optional<std::string> ReadWholeFile(const std::string& path) = 0;
};

}  // namespace orvix
