// The program's shell extension as the settings see it: whether it is
// registered now, and registering or unregistering it through the product's
// package installer.
#pragma once

#include <cstdint>

#include "ToolsInterface.h"

// Whether HKEY_CLASSES_ROOT "*\shellex\ContextMenuHandlers\<product name form 3>"
// opens with `access`.
bool IsShellExtensionRegistered(ProductInformation* product, uint32_t access);

// Runs "PackageInstaller.exe" of the program folder with "/RegDLL Shell
// Extensions" (or "/UnRegDLL ..."), waiting for it. False when the program is
// missing or did not start.
bool RegisterShellExtension(bool reg);
