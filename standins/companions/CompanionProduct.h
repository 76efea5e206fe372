// The product a companion program belongs to, found as the product's own
// programs find it: from "ProductInfo.xml" in the program's folder.
#pragma once

#include "VnString.h"

// The product's per-version settings key below HKEY_CURRENT_USER,
// "Software\V. Arnel\Tunaro %d" with the first number of the product's
// version. False when the file is missing, damaged, or gives no version.
bool FindProductSettingsKey(const VnString& programFolder, VnString& keyPath);
