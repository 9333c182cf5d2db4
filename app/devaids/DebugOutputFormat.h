#pragma once

// printf-style lines for the debugger output (the platform's debug sink), and the
// process-wide nesting counter the drawing code brackets its work with.

#include <string>

namespace Velm {

void OutputDebugFormat(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;

// leaving false: one level deeper; true: one level out, never below 0. Returns the new
// depth. Main thread only.
int AdjustNestingCounter(bool leaving);

}  // namespace Velm
