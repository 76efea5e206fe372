// How a wizard that finished ends for the process: 0, or 3010 when Windows
// must restart to make the install whole (a file in use or a font replaced at
// the restart, a file or registration left for the finalisation after it,
// whether or not the finish page offered the restart).
#pragma once

// `deferredAtFinish`: the finish found such work (it empties the engine's
// list, so it says so). Writes the outcome to the log.
int CompletedInstallExitCode(bool deferredAtFinish);
