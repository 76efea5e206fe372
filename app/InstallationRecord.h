// The product's installation record below HKEY_LOCAL_MACHINE
// "Software\V. Arnel\Tunacore\Installations": one subkey per installed
// product, named by the product name in form 4, whose "Path" is the folder of
// the installed copy.
#pragma once

#include "VnString.h"

constexpr char16_t kInstallationsKey[] = u"Software\\V. Arnel\\Tunacore\\Installations";

// The "Path" of the first record (in enumeration order) whose key name equals
// `productName` without regard to case; records without a "Path" are passed
// over. When found, the folder becomes the program folder of the
// process-information block. Empty when there is none.
VnString FindInstallation(const VnString& productName);
