#pragma once
#include <chrono>

#include "platform/Pipe.h"

namespace orvix::win32 {

// The client end of a named pipe over CreateFileA/ReadFile. The read waits for the server at
// most `readWait`: a server that connects and never writes must not hold the window thread
// for good.
class Win32PipeClient final : public IPipeClient {
public:
    static constexpr std::chrono::milliseconds kDefaultReadWait{2000};

    explicit Win32PipeClient(std::chrono::milliseconds wait = kDefaultReadWait) : readWait(wait) {}

    std::optional<std::size_t> ReadOnce(const std::string& name,
                                        std::span<std::uint8_t> buffer) override;

private:
    std::chrono::milliseconds readWait;
};

}  // namespace orvix::win32
