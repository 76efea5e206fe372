// Seams: plug-in registration and the component step are not built yet.
#include "InstallSteps.h"
#include "NotBuiltSeam.h"

void InstallWinampInputPlugin(const VnString& path, bool) {
    EngineLog(u"InstallWinampInputPlugin", VnString::Format(u"Not built yet: %s was not registered", path));
}

void InstallComponents(IInstallStepPage& page) {
    LogNotBuilt(u"InstallComponents");
    ScheduleNextInstallStep(page);
}
