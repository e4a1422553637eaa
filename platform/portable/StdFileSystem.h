#pragma once
#include "platform/FileSystem.h"

namespace orvix {

// File access through the C++ library, for native tests and tools.
class StdFileSystem final : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    std::optional<std::string> ReadWholeFile(const std::string& path) override;
};

}  // namespace orvix
