// Runs the product's uninstaller on a simulated machine, as a user would from
// "Add or Remove Programs": the uninstall entry's "UninstallString" names the
// program, which the machine starts (the in-process stand-in of
// "VnMediaUninstall.exe") and waits for.
#pragma once

#include <string>

#include "VnSimPlatform.h"
#include "VnString.h"

// The "UninstallString" of the uninstall entry that names
// "VnMediaUninstall.exe" (either registry view); empty when there is none.
VnString FindUninstallerPath(VnSimPlatform& machine);

// Starts `programPath` with `parameters` in the machine, waits for it and
// returns its exit code; -1 with `error` when it could not be started.
int RunUninstallerInMachine(VnSimPlatform& machine, const VnString& programPath, const VnString& parameters,
                            std::string& error);
