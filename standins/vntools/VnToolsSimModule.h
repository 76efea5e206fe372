// The library linked into the native build: its exported entries, and their
// registration in the simulated machine's module table, so that loading
// "VnTools.dll" through the platform and asking for "GetVnToolsDLL" reaches
// them as it reaches the real library on Windows.
#pragma once

#include "ToolsInterface.h"

extern "C" ToolsInterface* GetVnToolsDLL(int interfaceVersion);
extern "C" void ReleaseVnToolsDLL();

// Registers "VnTools.dll" with its exports "GetVnToolsDLL" and
// "ReleaseVnToolsDLL" in VnSimModuleRegistry::Shared().
void VnRegisterToolsWithSim();
