#include "PackageSkin.h"

#include "EngineLog.h"
#include "PackageFileActions.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "VnXmlDocument.h"

VnString SkinKindFolder(const VnString& mainXmlText, bool miniSkin) {
    VnXmlDocument document(mainXmlText.View());
    document.FindElem();
    const VnString root = document.GetTagName();
    if (root.EqualsNoCase(u"PMFS")) return VN_LIT(u"Skins\\FullSkins\\");
    if (root.EqualsNoCase(u"PMMS")) return VN_LIT(u"Skins\\Lounge View\\");
    if (root.EqualsNoCase(u"PMS")) return VN_LIT(u"Skins\\");
    return miniSkin ? VN_LIT(u"Skins\\Lounge View\\") : VN_LIT(u"Skins\\");
}

bool InstallSkinFolder(const VnString& unpackFolder, const VnString& programFolder, const VnString& packageName,
                       bool miniSkin) {
    std::string bytes;
    if (VnPlatform().Files().ReadFile(unpackFolder + u"main.xml", bytes) != vnwin::kErrorSuccess) {
        EngineLog(u"CInstallPackage::InstallSkin", VN_LIT(u"The skin has no \"main.xml\""));
        return false;
    }
    VnString name = packageName;
    name.Trim();
    for (char16_t c : u"\\/:*?\"<>|") name.Remove(c);
    if (name.IsEmpty() || name.Contains(u"..")) name = VN_LIT(u"Skin");
    const VnString target = programFolder + SkinKindFolder(VnXmlDecodeBytes(bytes), miniSkin) + name + u"\\";
    VnString failed;
    return CopyFolderFiles(unpackFolder, target, failed) == vnwin::kErrorSuccess;
}

bool InstallTrackInfoFolder(const VnString& unpackFolder, const VnString& programFolder) {
    VnString failed;
    return CopyFolderFiles(unpackFolder, programFolder + u"Visualizations\\Track Info\\", failed) ==
           vnwin::kErrorSuccess;
}
