// Seam: the dependency installers are not built yet.
#include "InstallSteps.h"
#include "NotBuiltSeam.h"

void InstallDependencies(IInstallStepPage& page) {
    LogNotBuilt(u"InstallDependencies");
    ScheduleNextInstallStep(page);
}
