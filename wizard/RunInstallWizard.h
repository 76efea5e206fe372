// Shows the install wizard modally, the way start-up hands over to it, and
// turns how it ended into the process exit code.
#pragma once

#include <cstdint>

// Runs CInstallWizard until it ends; returns the exit code (InstallExitCodes.h).
int RunInstallWizard();

// The exit code for a wizard result code: finished, cancelled, stopped at the
// copy page (not built yet), or never ended (its window could not be made,
// or, without a screen, its scripted user stopped answering).
int WizardExitCode(int32_t wizardResult);
