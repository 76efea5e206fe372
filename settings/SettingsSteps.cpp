// The copy-and-install sequence's two settings phases.
#include "DefaultLibrary.h"
#include "InstallSteps.h"
#include "SettingsMigration.h"

void InstallDefaultLibraryAndSettings() { LoadDefaultLibraryAndSettings(); }

void MigrateSettingsFromEarlierVersion() { MigrateSettings(); }
