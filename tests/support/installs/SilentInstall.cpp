#include "SilentInstall.h"

#include "InstallApp.h"
#include "InstallOptions.h"
#include "SimInstallerRun.h"

int RunSilentInstall(VnSimPlatform& machine, const VnString& setupFolder) {
    InstallOptions::ResetForTests();
    RegisterStandIns();
    CInstallApp app;
    const int code = RunInstallerInMachine(machine, setupFolder + kInstallerFileName, u"/Silent");
    VnSetPlatform(&machine);
    return code;
}
