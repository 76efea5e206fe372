// Message literals of the dependency step, read through the tools library's
// translation.
#pragma once

#include "VnDllString.h"

inline VnString DependencyText(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }
