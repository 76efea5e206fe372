#include "InstallSteps.h"

#include "EngineLog.h"

namespace {

void LogNotBuilt(const char16_t* source) {
    EngineLog(source, VN_LIT(u"Not built yet: nothing was done"));
}

}  // namespace

void CleanObsoleteFiles() { LogNotBuilt(u"CleanObsoleteFiles"); }

void InstallDefaultLibraryAndSettings() { LogNotBuilt(u"InstallDefaultLibraryAndSettings"); }

void MigrateSettingsFromEarlierVersion() { LogNotBuilt(u"MigrateSettingsFromEarlierVersion"); }

void WriteProgramRegistrySettings() { LogNotBuilt(u"WriteProgramRegistrySettings"); }

void InstallWinampInputPlugin(const VnString& path, bool) {
    EngineLog(u"InstallWinampInputPlugin", VnString::Format(u"Not built yet: %s was not registered", path));
}

void InstallDependencies(IInstallStepPage& page) {
    LogNotBuilt(u"InstallDependencies");
    ScheduleNextInstallStep(page);
}

void InstallComponents(IInstallStepPage& page) {
    LogNotBuilt(u"InstallComponents");
    ScheduleNextInstallStep(page);
}
