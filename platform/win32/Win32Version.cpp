#include "platform/win32/Win32Api.h"
// <windows.h> maps GetVersionEx to its A/W form; the port's method keeps its own name.
#undef GetVersionEx

#include "platform/win32/Win32Version.h"

namespace orvix {
namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "plain version record");

// Both records begin with the same fields.
template <typename Record>
OsVersionInfo FromRecord(const Record& record) {
    return OsVersionInfo{record.dwPlatformId, record.dwMajorVersion, record.dwMinorVersion,
                         record.dwBuildNumber};
}

}  // namespace

std::optional<OsVersionInfo> Win32Version::GetVersionEx(bool extendedRecord) {
    if (extendedRecord) {
        OSVERSIONINFOEXA record{};
        record.dwOSVersionInfoSize = sizeof(record);
        if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) {
            return std::nullopt;
        }
        return FromRecord(record);
    }
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof(record);
    if (!::GetVersionExA(&record)) {
        return std::nullopt;
    }
    return FromRecord(record);
}

}  // namespace orvix
