#pragma once
#include <cstdint>
#include <optional>

namespace orvix {

// The fields of the platform's version record that the logic reads.
struct OsVersionInfo {
    std::uint32_t platformId = 0;  // 1: Windows 95/98/Me, 2: Windows NT
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

class IVersionQuery {
public:
    virtual ~IVersionQuery() = default;
    // GetVersionExA with the extended (156-byte) or the plain (148-byte) record; nullopt when
    // the call fails.
    virtual std::optional<OsVersionInfo> GetVersionEx(bool extendedRecord) = 0;
};

}  // namespace orvix
