// The Windows entry of "Tunaro Install Wizard.exe": installs the real Windows
// platform and hands the command line to the global application object.
#include <windows.h>

#include "InstallApp.h"
#include "VnWin32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, PWSTR commandLine, int showCommand) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);
    const VnString text = VnString::FromWide(commandLine ? commandLine : L"");
    return InstallerEntry(reinterpret_cast<VnHandle>(instance), reinterpret_cast<VnHandle>(previousInstance),
                          text.View(), showCommand);
}
