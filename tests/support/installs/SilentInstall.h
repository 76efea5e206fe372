// Whole silent installs in a test process, for the tests linked with the
// simulated-machine runner.
#pragma once

#include "VnSimPlatform.h"
#include "VnString.h"

// A silent run of the installer in `setupFolder` on `machine`, as a new
// process starts it (options reset, stand-ins registered, its own application
// object); `machine` stays the platform for the checks. Its exit code.
int RunSilentInstall(VnSimPlatform& machine, const VnString& setupFolder);
