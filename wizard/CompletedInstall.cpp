#include "CompletedInstall.h"

#include "EngineLog.h"
#include "InstallExitCodes.h"
#include "InstallOptions.h"
#include "InstallRunLog.h"

int CompletedInstallExitCode(bool deferredAtFinish) {
    const int notInstalled = InstallOptions::Get().FilesNotInstalled.GetSize();
    if (notInstalled > 0) {
        EngineLog(u"CompletedInstall", VnString::Format(u"Install ended with %d files not installed (exit 1603)",
                                                        notInstalled));
        return kExitFailed;
    }
    const bool restart = deferredAtFinish || InstallNeedsRestart();
    EngineLog(u"CompletedInstall", restart ? VN_LIT(u"Install completed; Windows must restart to finish it (exit 3010)")
                                           : VN_LIT(u"Install completed (exit 0)"));
    return restart ? kExitRestartNeeded : kExitCompleted;
}
