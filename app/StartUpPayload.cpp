// Start-up steps 9 and 13, which use the payload: the skin of the installer's
// own windows, and the product's launcher.
#include "InstallApp.h"
#include "SkinFolder.h"

namespace {
constexpr char16_t kTitlebarIcon[] = u"Titlebar Icon";
constexpr char16_t kAlwaysOverwriteFolder[] = u"System\\Always Overwrite\\";
constexpr char16_t kPayloadLauncherName[] = u"Tunacore Launcher.exe";
}  // namespace

// The skin folder F is the payload's "Skins\Standard View\". The product's
// MegaSkin value M ("Standard View\Graphite") names a style S in its last
// part; F + S is used when it holds a usable skin, otherwise F + M.
void CInstallApp::ApplySkin() {
    ToolsSkin* skin = Tools()->GetSkin();
    if (!skin) return;
    skin->SetTitlebarIcon(kTitlebarIcon);

    const VnString skinsFolder = installerFolder_ + u"Playmoor\\Skins\\Standard View\\";
    const VnString megaSkin = Product()->GetInfoString(u"/*/General/MegaSkin", VnString());
    VnStringArray parts = VnStringArray::Split(megaSkin.View(), u"\\");
    if (!parts.IsEmpty() && parts[parts.GetSize() - 1].IsEmpty()) parts.RemoveAt(parts.GetSize() - 1);

    VnString chosen = skinsFolder + megaSkin;
    if (parts.GetSize() >= 2) {
        const VnString styleFolder = skinsFolder + parts[parts.GetSize() - 1];
        if (IsUsableSkinFolder(styleFolder, *Product())) chosen = styleFolder;
    }
    skin->SetSkinFolder(chosen);
}

// The payload carries the launcher under a neutral name; it is given the
// product's launcher name and copied into the program tree. A launcher that
// an earlier run already renamed is simply copied again.
void CInstallApp::PrepareLauncher() {
    const VnString launcherName = Product()->GetLauncherName();
    const VnString systemFolder = installerFolder_ + kAlwaysOverwriteFolder;
    IVnFiles& files = VnPlatform().Files();
    files.MoveFile(systemFolder + kPayloadLauncherName, systemFolder + launcherName);
    uint32_t copied = files.CopyFile(systemFolder + launcherName, installerFolder_ + u"Playmoor\\" + launcherName, false);
    Log(VnString::Format(u"Launcher \"%s\" copied into the program tree: error %d", launcherName, copied));
}
