#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvix {

// The client end of a named pipe, as the job hand-off reads it: one attempt is one open, at most
// one read and one close.
class IPipeClient {
public:
    virtual ~IPipeClient() = default;
    // Opens `name` for reading and writing, unshared, only if it exists, allowing the server no
    // more than identification of this client; reads once, up to `buffer.size()` bytes; closes.
    // nullopt when the pipe did not open; otherwise the number of bytes read (0 when the read
    // failed, found nothing, or the server wrote nothing within a bounded wait).
    virtual std::optional<std::size_t> ReadOnce(const std::string& name,
                                                std::span<std::uint8_t> buffer) = 0;
};

}  // namespace orvix
