#include "CompletedInstall.h"

#include "EngineLog.h"
#include "InstallExitCodes.h"
#include "InstallRunLog.h"

int CompletedInstallExitCode(bool deferredAtFinish) {
    const bool restart = deferredAtFinish || InstallNeedsRestart();
    EngineLog(u"CompletedInstall", restart ? VN_LIT(u"Install completed; Windows must restart to finish it (exit 3010)")
                                           : VN_LIT(u"Install completed (exit 0)"));
    return restart ? kExitRestartNeeded : kExitCompleted;
}
