#pragma once
#include "platform/FileSystem.h"

namespace orvix::win32 {

class Win32FileSystem final : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    std::optional<std::string> ReadWholeFile(const std::string& path) override;
};

}  // namespace orvix::win32
