// The wizard hand-off: where start-up, its checks passed, writes what it
// established to the tools library's log and shows the install wizard
// (CInstallWizard) modally until it closes.
#pragma once

#include "InstallOptions.h"
#include "ToolsInterface.h"

// Runs the wizard; returns the exit code the process ends with.
int RunWizardHandOff(ToolsInterface& tools, const InstallOptions& options);

// Whether a hand-off was reached since the process started (or since the
// last ForgetWizardHandOff).
bool WizardHandOffReached();
void ForgetWizardHandOff();

// Whether the wizard runs on the recording platform that writes the
// installation record (on unless turned off). Only the record's benchmark
// turns it off, to time the same install without the record.
void SetInstallRecording(bool on);
