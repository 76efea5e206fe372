// The one log line a seam writes: the step is not built and nothing was done.
#pragma once

#include "EngineLog.h"

inline void LogNotBuilt(const char16_t* source) {
    EngineLog(source, VN_LIT(u"Not built yet: nothing was done"));
}
