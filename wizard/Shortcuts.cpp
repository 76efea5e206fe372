#include "Shortcuts.h"

#include "EngineLog.h"
#include "InstallerKey.h"
#include "OperatingSystem.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"CShortcutsPpg";
constexpr char16_t kIconFolder[] = u"Data\\Default Art\\";
constexpr char16_t kQuickLaunchBelowAppData[] = u"Microsoft\\Internet Explorer\\Quick Launch\\";
constexpr char16_t kUninstaller[] = u"VnMediaUninstall.exe";

// Product features that add a Start Menu row.
constexpr int kMediaServerFeature = 104;
constexpr int kCdLabelerFeature = 24;
constexpr int kMediaEditorFeature = 22;

// Characters Windows does not allow in a file or folder name.
bool IsForbiddenInName(char16_t c) {
    return c < 32 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'/' || c == u'\\' || c == u'|' ||
           c == u'?' || c == u'*';
}

VnString SpecialFolder(int csidl) {
    const VnString folder = VnPlatform().System().GetSpecialFolder(csidl);
    return folder.IsEmpty() ? folder : NormaliseFolder(folder);
}

// The installed copy's icon of that name; empty when it is missing.
VnString InstalledIcon(const VnString& destination, const char16_t* name) {
    const VnString path = destination + kIconFolder + name;
    return VnFileSystem::FileExists(path) ? path : VnString();
}

ShortcutRow ProgramRow(ProductInformation& product, const VnString& destination, const char16_t* icon) {
    return {product.GetProductName(1), destination + product.GetExecutableName(), VnString(),
            InstalledIcon(destination, icon)};
}

}  // namespace

ShortcutChoice DefaultShortcutChoice(const InstallOptions& options, int32_t startMenuVersion, int32_t currentVersion) {
    ShortcutChoice choice;
    if (!options.SameVersionInstalled || options.PortableSetup || options.ExpressSetup)
        choice.startMenu = startMenuVersion != currentVersion;
    choice.desktop = choice.quickLaunch = !options.SameVersionInstalled || options.PortableSetup;
    return choice;
}

bool OffersQuickLaunch(int operatingSystemCode) {
    return !(operatingSystemCode >= kOsWindowsVista && operatingSystemCode <= 1999);
}

int32_t CurrentVersionNumber(ProductInformation& product) {
    return VnString::ParseInt(product.GetProductVersion().View());
}

VnString SafeStartMenuFolderName(const VnString& name) {
    VnString kept;
    for (char16_t c : name.View())
        if (!IsForbiddenInName(c)) kept += c;
    while (!kept.IsEmpty() && (kept.EndsWith(u".") || kept.EndsWith(u" "))) kept.Truncate(kept.GetLength() - 1);
    kept.TrimLeft();
    return kept;
}

VnCoreArray<ShortcutRow> StartMenuRows(ProductInformation& product, const VnString& destination) {
    VnCoreArray<ShortcutRow> rows;
    rows.Add(ProgramRow(product, destination, u"Application.ico"));
    if (product.HasFeature(kMediaServerFeature))
        rows.Add({VN_LIT(u"Media Server"), destination + product.GetExecutableName(), VN_LIT(u"/MediaServer"),
                  InstalledIcon(destination, u"Server.ico")});
    rows.Add({u"Uninstall " + product.GetProductName(1), destination + kUninstaller, VnString(), VnString()});
    if (product.HasFeature(kCdLabelerFeature))
        rows.Add({VN_LIT(u"CD Labeler"), destination + u"CDLabeler.exe", VnString(), VnString()});
    if (product.HasFeature(kMediaEditorFeature))
        rows.Add({VN_LIT(u"Media Editor"), destination + u"Media Editor.exe", VnString(), VnString()});
    return rows;
}

bool MakeShortcut(const VnString& folder, const ShortcutRow& row) {
    const VnString name = SafeStartMenuFolderName(row.name);
    if (folder.IsEmpty() || name.IsEmpty() || !VnFileSystem::FileExists(row.target)) return false;
    VnShellLink link;
    link.target = row.target;
    link.arguments = row.arguments;
    link.iconPath = row.icon;
    const VnString path = folder + name + u".lnk";
    const uint32_t error = VnPlatform().Shell().CreateShellLink(path, link);
    if (error != vnwin::kErrorSuccess)
        EngineLog(kSource, VnString::Format(u"Error %d making the shortcut %s", error, path));
    return error == vnwin::kErrorSuccess;
}

void CreateStartMenuShortcuts(ProductInformation& product, const VnString& destination) {
    CInstallerKey().SetStartMenuVersion(CurrentVersionNumber(product));
    const VnString programs = SpecialFolder(vnwin::kCsidlPrograms);
    const VnString name = SafeStartMenuFolderName(product.GetStartMenuFolder());
    if (programs.IsEmpty() || name.IsEmpty()) {
        EngineLog(kSource, VnString::Format(u"No usable Start Menu folder (\"%s\"): no Start Menu shortcuts",
                                            product.GetStartMenuFolder()));
        return;
    }
    const VnString folder = programs + name + u"\\";
    DeleteDirectoryTree(folder);
    VnFileSystem::MakeDirectoryTree(folder);
    for (const ShortcutRow& row : StartMenuRows(product, destination)) MakeShortcut(folder, row);
}

void CreateQuickLaunchShortcut(ProductInformation& product, const VnString& destination) {
    const VnString appData = SpecialFolder(vnwin::kCsidlAppData);
    if (appData.IsEmpty()) return;
    const VnString folder = appData + kQuickLaunchBelowAppData;
    VnFileSystem::MakeDirectoryTree(folder);
    MakeShortcut(folder, ProgramRow(product, destination, u"application.ico"));
}

void CreateDesktopShortcut(ProductInformation& product, const VnString& destination) {
    const VnString desktop = SpecialFolder(vnwin::kCsidlDesktopDirectory);
    if (desktop.IsEmpty()) return;
    VnFileSystem::MakeDirectoryTree(desktop);  // a new profile may lack it
    MakeShortcut(desktop, ProgramRow(product, destination, u"application.ico"));
}
