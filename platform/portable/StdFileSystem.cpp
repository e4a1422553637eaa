#include "platform/portable/StdFileSystem.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvix {

bool StdFileSystem::FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::optional<std::string> StdFileSystem::ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace orvix
