#include "app/devaids/DebugOutputFormat.h"

#include <cstdarg>

#include "platform/DebugOutput.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {
int gNestingCounter = 0;
}

void OutputDebugFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatStringV(format, args);
    va_end(args);
    plat::DebugOutput(text);
}

int AdjustNestingCounter(bool leaving) {
    if (!leaving)
        ++gNestingCounter;
    else if (gNestingCounter > 0)
        --gNestingCounter;
    return gNestingCounter;
}

}  // namespace Velm
