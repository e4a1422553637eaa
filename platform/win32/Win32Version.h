#pragma once
#include <optional>

#include "platform/Version.h"

namespace orvix {

// The version query over GetVersionExA. Call it through IVersionQuery: where <windows.h> is
// included, its GetVersionEx macro would rename a direct call to this class.
class Win32Version final : public IVersionQuery {
public:
    std::optional<OsVersionInfo> GetVersionEx(bool extendedRecord) override;
};

}  // namespace orvix
