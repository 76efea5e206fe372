// The message texts of the copy-and-install sequence: each literal passes
// through the tools library's translation when it is shown.
#pragma once

#include "ToolsLink.h"
#include "VnDllString.h"
#include "VnString.h"

inline VnString TranslatedMessage(const char16_t* literal) { return VnDllString(literal).Get(); }

// The "Error" box of the tools library; nothing without the library.
inline void ShowInstallError(const char16_t* literal) {
    if (ToolsInterface* tools = VnTools()) tools->ShowMessage(TranslatedMessage(literal), TranslatedMessage(u"Error"));
}
