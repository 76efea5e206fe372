// Seams: the default settings and their migration are not built yet.
#include "InstallSteps.h"
#include "NotBuiltSeam.h"

void InstallDefaultLibraryAndSettings() { LogNotBuilt(u"InstallDefaultLibraryAndSettings"); }

void MigrateSettingsFromEarlierVersion() { LogNotBuilt(u"MigrateSettingsFromEarlierVersion"); }
