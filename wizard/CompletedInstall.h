// How a wizard that got past copying ends for the process: the install is on
// the machine (program tree, system files, fonts, registration, uninstall
// entry, installation record), so it counts as completed, with 3010 when
// Windows must restart to make it whole (a file in use or a font replaced at
// the restart, a file or registration waiting for the finalisation after it).
//
// The pages after copying (file associations, shortcuts, finish with its
// finalisation and run request) are not built yet: the log says so, page by
// page, where they are reached (LaterPageSeams.h), and once more here.
#pragma once

// 0, or 3010 when the install needs a restart. Writes the outcome to the log.
int CompletedInstallExitCode();
