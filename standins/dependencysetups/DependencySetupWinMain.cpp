// The Windows entry of one dependency set-up (VN_DEPENDENCY_SETUP_FILE_NAME
// names it): the real Windows platform and the program's behaviour with the
// command line after the program's name. A GUI program: no console window.
#include "DependencySetups.h"
#include "VnWin32Api.h"  // <windows.h> without the macros that rename the platform's operations
#include "VnWin32Platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);
    const DependencySetupProgram* program = FindDependencySetupProgram(VN_DEPENDENCY_SETUP_FILE_NAME);
    if (!program) return ERROR_INVALID_FUNCTION;
    return int(RunDependencySetupProgram(*program, VnString::FromWide(commandLine ? commandLine : L"")));
}
