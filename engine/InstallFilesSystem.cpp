// The system files and fonts. On 64-bit Windows (IsWow64Process answers
// true and the redirection switch exists) the pass runs twice: pass 0 with file-system redirection off, so
// "system32" is the native 64-bit folder, pass 1 with it on, so the same
// name reaches the 32-bit folder. Redirection stays on afterwards.
#include "EngineLog.h"
#include "FileCopy.h"
#include "FileSystemRedirection.h"
#include "InstallFiles.h"
#include "InstallFilesText.h"
#include "InstallOptions.h"
#include "RuntimeFunctionTables.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

void CInstallFiles::InstallSystemFilesAndFonts() {
    ToolsLogScope scope(VnToolsLog(), u"CInstallFiles::InstallSystemFiles");
    ShowStatus(TranslatedMessage(u"Installing system files..."));
    // 32-bit Windows has one system folder: one pass. A 32-bit Windows may
    // still export the redirection switch, so the export alone cannot tell.
    const bool twoSystemFolders =
        Kernel32Functions().Wow64EnableWow64FsRedirection != nullptr && RunsUnderWow64();
    const int passes = twoSystemFolders ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        if (twoSystemFolders) SetFileSystemRedirection(pass == 1);
        InstallSystemFilesPass(pass);
    }
    if (twoSystemFolders) SetFileSystemRedirection(true);
    scope.SetResult(passes);
}

void CInstallFiles::InstallSystemFilesPass(int pass) {
    const VnString systemFolder = GetSystemFolder();
    if (InstallOptions::Get().PortableSetup) return;
    EngineLog(u"CInstallFiles::InstallSystemFiles",
              VnString::Format(u"Pass %d: system folder \"%s\"", pass, systemFolder));
    if (systemFolder.IsEmpty()) {
        ShowInstallError(u"The install wizard can not obtain the Windows system path. "
                         u"System files will not be installed.");
    } else {
        CopyFolder(kCopyCheckVersion, page_, installerFolder_ + u"System\\Check Version\\", systemFolder,
                   &RegisterList);
        CopyFolder(kCopyAlwaysOverwrite, page_, installerFolder_ + u"System\\Always Overwrite\\", systemFolder,
                   &RegisterList);
    }
    const VnString windowsFolder = GetWindowsFolder();
    const VnString fontsFolder = windowsFolder.IsEmpty() ? VnString() : windowsFolder + u"Fonts\\";
    if (fontsFolder.IsEmpty())
        ShowInstallError(u"The install wizard can not obtain the system font path. Custom fonts will not be "
                         u"installed.");
    else
        CopyFolder(kCopyFont, page_, installerFolder_ + u"Fonts\\", fontsFolder, &RegisterList);
}
