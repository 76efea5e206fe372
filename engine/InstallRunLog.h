// What the copy-and-install run leaves in the tools library's log beyond the
// scope lines of its phases: the options it ran with, and at its end every
// file and registration that waits for the restart, with the reason. Also
// the one answer the process exit code needs from the engine: whether the
// install is whole only after a restart.
#pragma once

#include "InstallOptions.h"
#include "VnArray.h"
#include "VnString.h"

// One line with every option and wizard answer the install runs with.
VnString DescribeInstallRun(const InstallOptions& options);

// The files whose replacement Windows carries out at the next restart on
// behalf of this install: the targets of the pending renames (the Session
// Manager's "PendingFileRenameOperations") whose source is the target's own
// staged copy, each target once. In the order Windows will carry them out.
VnStringArray ReplacementsWaitingForRestart();
// The set-aside originals of files replaced while in use, whose deletion
// waits for the restart.
VnStringArray DeletionsWaitingForRestart();

// The install needs a restart to be whole: a font or a file in use was
// replaced at the restart, a file was staged or a registration postponed for
// the finalisation that runs after it.
bool InstallNeedsRestart();

// Writes one line per waiting item and why it waits, under `source`.
void LogWorkWaitingForRestart(const VnString& source);
