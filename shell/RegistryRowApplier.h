// Writes a list of registry rows (docs/registry-rows.md) through the platform.
#pragma once

#include "RegistryTokens.h"
#include "VnArray.h"
#include "VnString.h"

// Applies the rows in order, starting at the root HKEY_CLASSES_ROOT. Each row
// is expanded, split and written on its own: a row that does not split into
// five fields, or whose key cannot be created, is skipped and the next row
// goes on. A row that names "[AUTOPLAYKEY]" is written a second time into the
// 64-bit registry view when the installer runs under WOW64.
void ApplyRegistryTemplates(const VnStringArray& rows, const RegistryTokenValues& values);
