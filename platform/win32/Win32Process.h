#pragma once
#include "platform/Process.h"

namespace orvix::win32 {

class Win32Process final : public IProcessEnvironment {
public:
    std::string CommandLine() override;
    std::string ModuleFileName() override;
    BitmapHandle LoadBitmap(int resourceId) override;
    void ExitProcess(unsigned exitCode) override;
};

}  // namespace orvix::win32
