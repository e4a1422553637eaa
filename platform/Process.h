#pragma once
#include <string>

#include "platform/Handles.h"

namespace orvix {

// The running process as start-up sees it.
class IProcessEnvironment {
public:
    virtual ~IProcessEnvironment() = default;
    virtual std::string CommandLine() = 0;     // GetCommandLineA
    virtual std::string ModuleFileName() = 0;  // GetModuleFileNameA of the program
    // LoadBitmapA from the program's own resources; 0 when it fails.
    virtual BitmapHandle LoadBitmap(int resourceId) = 0;
    // Ends the process at once: no destructor runs, no further message is handled. The real
    // adapter never returns; a fake records the call and returns, so callers return right
    // after it.
    virtual void ExitProcess(unsigned exitCode) = 0;
};

}  // namespace orvix
