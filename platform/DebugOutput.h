#pragma once

namespace orvix {

// The system's debugger output (OutputDebugStringA): the few messages meant for a developer
// with a debugger attached, never for the user.
class IDebugOutput {
public:
    virtual ~IDebugOutput() = default;
    // `text` is zero-terminated and written as it stands.
    virtual void Write(const char* text) = 0;
};

}  // namespace orvix
