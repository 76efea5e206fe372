// The Windows entry of one companion program (VN_COMPANION_FILE_NAME names it):
// installs the real Windows platform and runs the program's behaviour with
// the command line after the program's name. A GUI program: no console window.
#include "CompanionPrograms.h"
#include "VnWin32Api.h"  // <windows.h> without the macros that rename the platform's operations
#include "VnWin32Platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);
    const CompanionProgram* program = FindCompanionProgram(VN_COMPANION_FILE_NAME);
    if (!program) return ERROR_INVALID_FUNCTION;
    CompanionStart start{platform.System().GetModuleFileName(), VnString::FromWide(commandLine ? commandLine : L"")};
    return int(RunCompanionProgram(*program, start));
}
