#include "DefaultLibrary.h"

#include <memory>

#include "EngineLog.h"
#include "FileListing.h"
#include "FolderTreeCopy.h"
#include "InstallOptions.h"
#include "InstallerKey.h"
#include "ProgramDataFolder.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"LoadDefaultLibraryAndSettings";
constexpr char16_t kSharedSettingsFile[] = u"TV Shared Settings.ini";

// Whether the folder holds any file below it other than "Thumbs.db".
bool HoldsSettingsFiles(const VnString& folder) {
    VnCoreArray<VnListedFile> files;
    ListFilesBelow(folder, files);
    for (const VnListedFile& file : files)
        if (!FileNameOf(file.path).EqualsNoCase(u"Thumbs.db")) return true;
    return false;
}

std::unique_ptr<ToolsPropertyStore> OpenStore(ToolsInterface& tools, const char16_t* name) {
    return std::unique_ptr<ToolsPropertyStore>(tools.OpenPropertyStore(name));
}

// The stored library choice, its identity on the library server and the
// per-install counters go, so that the program starts on the carried library.
void ClearStoredLibraryChoice() {
    ToolsInterface* tools = VnTools();
    if (!tools) return;
    // The "Installer" key also holds the auto-install choice the setup-type
    // page stored earlier in this run: it is put back after the key goes.
    const bool runAutoInstall = CInstallerKey(tools).GetRunAutoInstall();
    if (auto root = OpenStore(*tools, u""))
        for (const char16_t* subKey : {u"CD Writer", u"Installer", u"Library Specific", u"Portable Devices"})
            root->DeleteSubKey(subKey);
    CInstallerKey(tools).SetRunAutoInstall(runAutoInstall);
    if (auto dlna = OpenStore(*tools, u"DLNA")) dlna->DeleteSubKey(u"Servers");
    if (auto server = OpenStore(*tools, u"Library Server"))
        for (const char16_t* value : {u"UUID", u"Registered Access Key"}) server->DeleteValue(value);
    if (auto properties = OpenStore(*tools, u"Properties"))
        for (const char16_t* value :
             {u"Library", u"Library Directory", u"Library Name", u"Import - Last Import Single Folder",
              u"Install - Number Runs Total", u"Install - Number Runs After Last Install",
              u"Install - First Install Date", u"Install - First Install"})
            properties->DeleteValue(value);
}

}  // namespace

bool LoadDefaultLibraryAndSettings() {
    const InstallOptions& options = InstallOptions::Get();
    const bool installationFound = options.SameVersionInstalled || options.OtherVersionInstalled;
    if (installationFound && !options.PortableSetup) return false;

    // The install description names it; before it is read, the same folder beside the installer.
    const VnString source = options.LibraryFolder.IsEmpty() ? GetInstallerFolder() + u"Library\\"
                                                            : NormaliseFolder(options.LibraryFolder);
    const VnString dataFolder = ProgramDataFolder();
    if (source.IsEmpty() || dataFolder.IsEmpty() || !HoldsSettingsFiles(source + u"Settings\\")) {
        EngineLog(kSource, VN_LIT(u"No default library to install"));
        return true;
    }

    const VnString library = dataFolder + u"Library\\";
    const FolderTreeCopyResult copied = CopyFolderTree(source, library);
    DeleteDirectoryTree(library + u"Settings\\");
    VnPlatform().Files().WriteFile(library + u"Clone.flg", std::string());
    EngineLog(kSource, VnString::Format(u"Default library copied to %s (%d files, %d failures)", library,
                                        copied.filesCopied, copied.failures));

    const VnString sharedSettings = source + u"Settings\\" + kSharedSettingsFile;
    if (VnFileSystem::FileExists(sharedSettings)) {
        const VnString settingsFolder = dataFolder + u"Settings\\";
        VnFileSystem::MakeDirectoryTree(settingsFolder);
        const uint32_t error =
            VnPlatform().Files().CopyFile(sharedSettings, settingsFolder + kSharedSettingsFile, false);
        if (error != vnwin::kErrorSuccess)
            EngineLog(kSource, VnString::Format(u"Error %d copying %s", error, sharedSettings));
    }
    // A portable install beside an installed copy shares that copy's settings
    // store: its library choice and counters are the user's and stay.
    if (!installationFound) ClearStoredLibraryChoice();
    return true;
}
