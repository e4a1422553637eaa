#pragma once
#include "platform/Registry.h"

namespace orvix::win32 {

class Win32Registry final : public IRegistry {
public:
    std::optional<std::vector<std::uint8_t>> ReadValue(RegistryRoot root,
                                                       const std::string& keyPath,
                                                       const std::string& valueName,
                                                       std::size_t bufferSize) override;
    bool WriteDword(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                    std::uint32_t value) override;
};

}  // namespace orvix::win32
