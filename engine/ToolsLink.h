// The product's tools library as the installer's parts reach it once start-up
// has loaded it: its interface and its log. Before that (or after the library
// was unloaded) both are null, and callers skip what needs them.
#pragma once

#include "ToolsInterface.h"

// The loaded library's interface, or null.
ToolsInterface* VnTools();
// Start-up sets it after loading the library and clears it before unloading.
void VnSetTools(ToolsInterface* tools);
// The library's log, or null.
ToolsLog* VnToolsLog();
