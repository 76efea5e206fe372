// One line in the tools library's log under a source name; nothing while the
// library is not loaded.
#pragma once

#include "ToolsLink.h"

inline void EngineLog(const VnString& source, const VnString& text) {
    if (ToolsLog* log = VnToolsLog()) log->Write(source, text);
}
