#include "InstallStepPage.h"

#include "EngineLog.h"
#include "InstallationSearch.h"

void ScheduleNextInstallStep(IInstallStepPage& page) {
    int32_t step = page.GetStepCounter();
    // Only after the dependency step does the test matter: an installation
    // that is already current gets neither the copy nor the components.
    if (step == kCopyAndInstallStep && IsInstalledVersionCurrent()) {
        EngineLog(u"ScheduleNextInstallStep",
                  VN_LIT(u"The installed copy is current and downgrades are off: copying and registration skipped"));
        step = kFinishingStep;
    }
    page.StartStepTimer(step);
    page.SetStepCounter(step + 1);
}
