#pragma once

// The trace routine: a printf-style note at the entry of operations and at decisions.
// In the delivered build it does nothing. A test build (ORVIX_TRACE) writes each line to the
// file named by the ORVIX_TRACE_FILE environment variable, so tests can observe decisions
// without the product growing behaviour.
namespace orvix {

#if defined(__MINGW32__)
__attribute__((format(gnu_printf, 1, 2)))  // the build uses MinGW's C99 printf
#elif defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void Trace(const char* format, ...);

}  // namespace orvix
