#include "platform/Trace.h"

#ifdef ORVIX_TRACE
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#endif

namespace orvix {

void Trace([[maybe_unused]] const char* format, ...) {
#ifdef ORVIX_TRACE
    const char* path = std::getenv("ORVIX_TRACE_FILE");
    if (path == nullptr || *path == '\0') {
        return;
    }
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
#endif
}

}  // namespace orvix
