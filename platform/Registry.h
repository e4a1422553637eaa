#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvix {

enum class RegistryRoot { LocalMachine, CurrentUser };

class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens the key for reading and reads the value into a buffer of bufferSize bytes without
    // checking its type. nullopt when the key does not open or the read fails (a value larger
    // than the buffer fails). The bytes returned are those the platform reported.
    virtual std::optional<std::vector<std::uint8_t>> ReadValue(RegistryRoot root,
                                                               const std::string& keyPath,
                                                               const std::string& valueName,
                                                               std::size_t bufferSize) = 0;

    // Opens an existing key for writing (never creates it) and sets a REG_DWORD.
    // Returns false when the key did not open; true when it opened, whatever the write did.
    virtual bool WriteDword(RegistryRoot root, const std::string& keyPath,
                            const std::string& valueName, std::uint32_t value) = 0;
};

}  // namespace orvix
