// Shows the install wizard modally, the way start-up hands over to it, and
// turns how it ended into the process exit code.
#pragma once

#include <cstdint>

#include "Finalize.h"

// Runs CInstallWizard until it ends; returns the exit code (InstallExitCodes.h).
int RunInstallWizard();

// The exit code for a wizard result code: finished (completed: 0, or 3010
// when the finish found work left for the restart or the install needs one),
// cancelled, or never ended: left waiting for answers (a run without a screen
// whose scripted user stopped), else an error (its window could not be made).
int WizardExitCode(int32_t wizardResult, const FinishState& finish = FinishState());
bool WizardLeftWaiting();
