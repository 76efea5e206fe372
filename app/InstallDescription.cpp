#include "InstallDescription.h"

#include <string>
#include <string_view>

#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "VnXmlDocument.h"
#include "XmlProblemLog.h"

namespace {

constexpr std::u16string_view kDescriptionFile = u"Install.xml";
constexpr std::u16string_view kRootName = u"VNIC";
constexpr double kFirstReadableVersion = 1.0;

bool LoadDocument(const VnString& path, VnXmlDocument& document) {
    std::string bytes;
    if (VnPlatform().Files().ReadFile(path, bytes) != vnwin::kErrorSuccess) return false;
    const bool usable = document.SetDoc(VnXmlDecodeBytes(bytes));
    LogXmlProblems(u"LoadInstallDescription", path, document);
    return usable;
}

VnString TrimmedChildData(const VnXmlDocument& document, std::u16string_view name) {
    VnString data = document.GetChildData(name);
    return data.Trim();
}

// The folder value resolved against the description's own folder when that
// folder exists, with one trailing backslash; empty otherwise.
VnString ExistingFolderValue(const VnString& descriptionFolder, const VnString& value) {
    if (value.IsEmpty()) return VnString();
    const VnString folder = ResolveFolderValue(descriptionFolder, value);
    return VnFileSystem::FolderExists(folder) ? NormaliseFolder(folder) : VnString();
}

// Reads the "Settings" element of a loaded description into the options.
void ReadSettings(VnXmlDocument& document, const VnString& descriptionFolder, InstallOptions& options) {
    if (!document.FindElem() || document.GetTagName() != kRootName) return;
    if (VnString::ParseDouble(document.GetAttrib(u"version")) < kFirstReadableVersion) return;
    if (!document.IntoElem() || !document.FindElem(u"Settings")) return;

    const VnString supportFolder = ExistingFolderValue(descriptionFolder, TrimmedChildData(document, u"SupportFiles"));
    if (!supportFolder.IsEmpty()) options.SupportFolders.Add(supportFolder);

    const VnString allowDowngrade = TrimmedChildData(document, u"AllowDowngrade");
    if (!allowDowngrade.IsEmpty()) options.AllowDowngrade = VnString::ParseInt(allowDowngrade) != 0;

    const VnString mediaFolder = ExistingFolderValue(descriptionFolder, TrimmedChildData(document, u"BundledMedia"));
    if (!mediaFolder.IsEmpty()) options.BundledMediaFolder = mediaFolder;
}

}  // namespace

bool LoadInstallDescription(const VnString& installerFolder, InstallOptions& options) {
    const VnString folder = NormaliseFolder(installerFolder);
    options.SupportFolders.Add(folder + u"Support\\");
    options.LibraryFolder = folder + u"Library\\";

    // The description beside the installer wins over the one in the parent folder.
    VnString descriptionFolder = folder;
    if (!VnFileSystem::FileExists(descriptionFolder + kDescriptionFile))
        descriptionFolder = NormaliseFolder(ResolveFolderValue(folder, u".."));

    VnXmlDocument document;
    if (LoadDocument(descriptionFolder + kDescriptionFile, document))
        ReadSettings(document, descriptionFolder, options);
    return true;
}

VnString FindSupportFile(std::u16string_view name, const InstallOptions& options) {
    for (const VnString& folder : options.SupportFolders) {
        const VnString path = folder + name;
        if (VnFileSystem::FileExists(path)) return path;
    }
    return VnString();
}
