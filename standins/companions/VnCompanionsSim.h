// The companion programs inside the simulated machine (native build).
#pragma once

// Registers every companion program in VnSimProgramRegistry::Shared() under
// its file name: a program the simulated installer starts by that name runs
// in-process against the same machine, with its start and exit code recorded
// as on Windows.
void VnRegisterCompanionsWithSim();
