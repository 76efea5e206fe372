#include "CompletedInstall.h"

#include "EngineLog.h"
#include "InstallExitCodes.h"
#include "InstallRunLog.h"

int CompletedInstallExitCode() {
    const bool restart = InstallNeedsRestart();
    EngineLog(u"CompletedInstall",
              restart ? VN_LIT(u"Install completed after copying; Windows must restart to finish it (exit 3010). "
                               u"Not built yet: file associations, shortcuts, finalisation")
                      : VN_LIT(u"Install completed after copying (exit 0). "
                               u"Not built yet: file associations, shortcuts, finalisation"));
    return restart ? kExitRestartNeeded : kExitCompleted;
}
