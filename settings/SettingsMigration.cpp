#include "SettingsMigration.h"

#include <memory>

#include "EngineLog.h"
#include "FolderTreeCopy.h"
#include "InstallOptions.h"
#include "LoadedProduct.h"
#include "ProgramDataFolder.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "VnPropertyMap.h"

namespace {

constexpr char16_t kSource[] = u"MigrateSettings";
constexpr char16_t kCurrentName[] = u"Tunaro 33";
constexpr char16_t kCurrentKey[] = u"Software\\V. Arnel\\Tunaro 33";
constexpr char16_t kCurrentProperties[] = u"Software\\V. Arnel\\Tunaro 33\\Properties";
constexpr char16_t kRunKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kImageLocation[] = u"File Location - Image File Location";
constexpr char16_t kRunMode[] = u"General - Windows Startup Run Mode";
constexpr char16_t kAppDataToken[] = u"[App Data Path]";
constexpr uint32_t kCurrentUser = uint32_t(VnRegRoot::CurrentUser);

VnString VersionName(int version) { return VnString::Format(u"Tunaro %d", version); }
VnString VersionKey(int version) { return VnString(u"Software\\V. Arnel\\") + VersionName(version); }

std::unique_ptr<ToolsPropertyStore> OpenUserKey(const VnString& path) {
    ToolsInterface* tools = VnTools();
    return std::unique_ptr<ToolsPropertyStore>(tools ? tools->OpenRegistryStore(kCurrentUser, path, 0) : nullptr);
}

VnString ReadUserText(const VnString& path, const VnString& name) {
    auto store = OpenUserKey(path);
    return store ? store->GetText(name, VnString()) : VnString();
}

// A folder without its trailing backslash, so that the pair also matches the
// folder named without one; a drive root keeps it.
VnString FolderForReplacing(const VnString& folder) {
    return folder.GetLength() > 3 && folder.EndsWith(u"\\") ? folder.Left(folder.GetLength() - 1) : folder;
}

// "[App Data Path]" in a stored folder stands for the data folder.
VnString ExpandAppDataPath(const VnString& folder, const VnString& dataFolder) {
    TextReplacements expand;
    expand.Add(VnString(kAppDataToken) + u"\\", dataFolder);
    expand.Add(kAppDataToken, dataFolder);
    return expand.Apply(folder);
}

bool SameFolder(const VnString& a, const VnString& b) { return NormaliseFolder(a).EqualsNoCase(NormaliseFolder(b)); }

}  // namespace

void CSettingsMigration::MigrateSettings() {
    const InstallOptions& options = InstallOptions::Get();
    version_ = 0;
    if (options.SameVersionInstalled || options.OtherVersionInstalled || options.PortableSetup || options.NoUpgrade)
        return;
    replacements_.Clear();
    ProductInformation* product = LoadedProductInformation();
    if (!product || product->GetProductName(4) != kCurrentName) return;

    if (FindEarlierVersion()) {
        EngineLog(kSource, VnString::Format(u"Migrating the settings of %s", VersionName(version_)));
        VnFileSystem::MakeDirectoryTree(dataFolder_ + u"Library\\");
        const VnString destination = options.DestinationFolder;
        replacements_.Add(VersionName(version_), kCurrentName);
        earlierInstallFolder_ = NormaliseFolder(ReadUserText(VersionKey(version_) + u"\\Installer", u"Install Directory"));
        if (!earlierInstallFolder_.IsEmpty() && !SameFolder(earlierInstallFolder_, destination))
            replacements_.Add(FolderForReplacing(earlierInstallFolder_), FolderForReplacing(destination));

        VnStringArray excluded;
        excluded.Add(u"Installer");
        excluded.Add(u"Dependencies");
        const RegistryTreeCopyResult copied = CopyRegistryTree(VersionKey(version_), kCurrentKey, excluded, replacements_);
        EngineLog(kSource, VnString::Format(u"Settings copied: %d keys, %d values, %d failures", copied.keysCopied,
                                            copied.valuesCopied, copied.failures));
        ReplaceStartWithWindowsEntry();
        ForgetCarriedDefaultLibrary();
        CopyFolders();
    } else {
        EngineLog(kSource, VN_LIT(u"No earlier version to migrate"));
    }
    if (ToolsInterface* tools = VnTools()) tools->ReloadSettings(VnString());
}

bool CSettingsMigration::FindEarlierVersion() {
    dataFolder_ = ProgramDataFolder();
    if (dataFolder_.IsEmpty()) return false;
    for (int version = kNewestEarlierVersion; version >= kOldestEarlierVersion; --version) {
        earlierImageLocation_ = ReadUserText(VersionKey(version) + u"\\Properties", kImageLocation);
        earlierDataFolder_ = EarlierDataFolder(dataFolder_, kCurrentName, version);
        if (VnFileSystem::FolderExists(earlierDataFolder_ + u"Library")) {
            version_ = version;
            return true;
        }
    }
    return false;
}

void CSettingsMigration::ReplaceStartWithWindowsEntry() {
    auto run = OpenUserKey(kRunKey);
    const VnString earlierEntry = VersionName(version_);
    if (!run || run->GetText(earlierEntry, VnString()).IsEmpty()) return;
    ProductInformation* product = LoadedProductInformation();
    run->DeleteValue(earlierEntry);
    if (auto earlierProperties = OpenUserKey(VersionKey(version_) + u"\\Properties"))
        earlierProperties->DeleteValue(kRunMode);
    const VnString command = VnString::Format(u"\"%s%s\" /Boot", InstallOptions::Get().DestinationFolder,
                                              product->GetExecutableName());
    run->SetText(product->GetProductName(4), command, 0);
    EngineLog(kSource, VnString::Format(u"Start with Windows: %s", command));
}

// A copied library choice that names this version's own "Library" folder
// (the carried default library) is dropped: the program then finds the
// library in its usual place.
void CSettingsMigration::ForgetCarriedDefaultLibrary() {
    auto properties = OpenUserKey(kCurrentProperties);
    if (!properties) return;
    const VnString library = properties->GetText(u"Library", VnString());
    if (!library.ContainsNoCase(u"<Item Name=\"Type\">1</Item>")) return;
    VnPropertyMap map;
    if (!map.LoadXML(library)) {
        EngineLog(kSource, VN_LIT(u"The stored library is not readable; it stays as it is"));
        return;
    }
    if (SameFolder(map.GetString(u"LibraryPath"), dataFolder_ + u"Library\\")) properties->DeleteValue(u"Library");
}

void CSettingsMigration::CopyFolders() {
    const VnString destination = InstallOptions::Get().DestinationFolder;
    if (!earlierInstallFolder_.IsEmpty() && !SameFolder(earlierInstallFolder_, destination)) {
        for (const char16_t* name : {u"Custom Resources", u"Custom Art", u"Custom Skin Items", u"Custom Webpages"})
            CopyDataSubfolder(earlierInstallFolder_ + u"Data\\", destination + u"Data\\", name);
        for (const char16_t* name : {u"Skins", u"Visualizations"})
            CopyDataSubfolder(earlierInstallFolder_, destination, name);
    }
    CopyDataSubfolder(earlierDataFolder_, dataFolder_, u"Settings");
    if (version_ >= 23) CopyCoverArt();
    CopyDataSubfolder(earlierDataFolder_, dataFolder_, u"Thumbnails");
}

void CSettingsMigration::CopyCoverArt() {
    TextReplacements earlierForm;
    earlierForm.Add(kCurrentName, VersionName(version_));
    VnString source = earlierForm.Apply(ExpandAppDataPath(earlierImageLocation_, earlierDataFolder_));
    if (source.IsEmpty()) source = earlierDataFolder_ + u"Cover Art";
    // The copied location may keep the "[App Data Path]" form: it then
    // stands for this version's data folder.
    VnString target = ExpandAppDataPath(ReadUserText(kCurrentProperties, kImageLocation), dataFolder_);
    if (target.IsEmpty()) target = dataFolder_ + u"Cover Art";
    if (SameFolder(source, target) || !VnFileSystem::FolderExists(source)) return;
    const FolderTreeCopyResult copied = CopyFolderTree(source, target);
    EngineLog(kSource, VnString::Format(u"Cover art copied: %d files, %d failures", copied.filesCopied,
                                        copied.failures));
}

void MigrateSettings() { CSettingsMigration().MigrateSettings(); }
