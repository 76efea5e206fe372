// The Windows entry of "Tunaro Install Wizard.exe": installs the real Windows
// platform and hands the command line to the global application object.
// The backend's header brings <windows.h> with the macros that would rename
// the platform's operations undone, so it comes first.
#include "VnWin32Platform.h"
#include "InstallApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, PWSTR commandLine, int showCommand) {
    // Never freed: the global application object, destroyed after this
    // function's statics, still closes its mutex through the platform.
    static VnWin32Platform* const platform = new VnWin32Platform();
    VnSetPlatform(platform);
    const VnString text = VnString::FromWide(commandLine ? commandLine : L"");
    return InstallerEntry(reinterpret_cast<VnHandle>(instance), reinterpret_cast<VnHandle>(previousInstance),
                          text.View(), showCommand);
}
