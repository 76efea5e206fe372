// The reader library's exported factory over the active platform: the Windows
// library installs its own platform first (VnReaderDllMain.cpp); natively it
// is linked in and the simulated machine's module table hands it out.
#pragma once

#include "InternetReader.h"

extern "C" InternetReader* CreateInternetReaderDLL(const char16_t* address);

// Registers "VnReader.dll" with its export "CreateInternetReaderDLL" in the
// simulated machine's module table (native build only).
void VnRegisterReaderWithSim();
