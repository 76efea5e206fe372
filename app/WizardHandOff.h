// The wizard hand-off: where start-up, its checks passed, shows the install
// wizard (CInstallWizard) modally and waits for it to close.
//
// The wizard is not built yet. Until it is, the hand-off writes what start-up
// established to the tools library's log, notes that it was reached, and
// returns kExitStoppedAtWizardHandOff: nothing is installed, and nothing
// beyond this point is pretended.
#pragma once

#include "InstallOptions.h"
#include "ToolsInterface.h"

// Runs the wizard (for now: records the hand-off); returns the exit code the
// process ends with.
int RunWizardHandOff(ToolsInterface& tools, const InstallOptions& options);

// Whether a hand-off was reached since the process started (or since the
// last ForgetWizardHandOff).
bool WizardHandOffReached();
void ForgetWizardHandOff();
