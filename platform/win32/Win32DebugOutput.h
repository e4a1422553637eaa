#pragma once
#include "platform/DebugOutput.h"

namespace orvix::win32 {

class Win32DebugOutput final : public IDebugOutput {
public:
    void Write(const char* text) override;
};

}  // namespace orvix::win32
