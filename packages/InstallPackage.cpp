#include "InstallPackage.h"

#include "EngineLog.h"
#include "LoadedProduct.h"
#include "PackageDownload.h"
#include "PackageFileActions.h"
#include "PackageSkin.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "VnZipArchive.h"

namespace {
constexpr char16_t kSource[] = u"CInstallPackage::Install";
constexpr int kLocalAppDataFolder = 0x1C;  // CSIDL_LOCAL_APPDATA

VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }

VnString WithExtension(const VnString& path, const char16_t* extension) {
    const int32_t dot = path.ReverseFind(u'.');
    return (dot > path.ReverseFind(u'\\') ? path.Left(dot) : path) + extension;
}

// "<temp>\InstallPackage\IPxxxx.tmp\": a folder no other install uses.
VnString MakeUnpackFolder() {
    IVnFiles& files = VnPlatform().Files();
    const VnString base = VnPlatform().System().GetSpecialFolder(kLocalAppDataFolder) + u"\\Temp\\InstallPackage\\";
    if (!VnFileSystem::MakeDirectoryTree(base)) return VnString();
    const uint32_t seed = VnPlatform().System().GetCurrentProcessId() * 2654435761u +
                          uint32_t(VnPlatform().System().GetTickCount64());
    for (uint32_t attempt = 0; attempt < 0x10000; ++attempt) {
        const VnString folder = base + VnString::Format(u"IP%04X.tmp\\", int((seed + attempt) & 0xFFFF));
        if (files.GetFileAttributes(folder.Left(folder.GetLength() - 1)) != vnwin::kInvalidFileAttributes) continue;
        if (files.CreateDirectory(folder.Left(folder.GetLength() - 1)) == vnwin::kErrorSuccess) return folder;
    }
    return VnString();
}

// Entry names must stay inside the unpack folder; "*.*" names a whole folder.
bool EntriesStayInside(const PackageDescription& description, VnString& error) {
    for (const PackageFileEntry& entry : description.files) {
        if (entry.isDownload) continue;
        VnString name = entry.file, relative;
        if (name.EndsWith(u"*.*")) name = name.Left(name.GetLength() - 3) + u"x";
        if (!VnZipArchive::RelativePathOf(name, relative) || relative.IsEmpty()) {
            error = VnString::Format(u"the file \"%s\" lies outside the package", entry.file);
            return false;
        }
    }
    return true;
}
}  // namespace

bool IsWebLocation(const VnString& source) {
    return source.StartsWith(u"http://") || source.StartsWith(u"https://") || source.StartsWith(u"ftp://");
}

bool CInstallPackage::Load(const VnString& source, int32_t packageIndex) {
    ToolsLogScope scope(VnToolsLog(), u"CInstallPackage::Load");
    descriptionPath_ = source;
    if (IsWebLocation(source)) {
        const VnString temp = VnPlatform().System().GetSpecialFolder(kLocalAppDataFolder) + u"\\Temp\\";
        const bool playlist = source.EndsWith(u".mpl");
        downloadedFile_ = temp + VnString::Format(u"Package%08X.%s", int(VnPlatform().System().GetTickCount64()),
                                                  playlist ? u"mpl" : u"tmp");
        VnString error;
        if (!DownloadPackageFile(source, downloadedFile_, error)) {
            loadError_ = error;
            ShowPackageMessage(error, Translated(u"Install Package"));
            downloadedFile_.Empty();
            return false;
        }
        descriptionPath_ = downloadedFile_;
    }
    if (descriptionPath_.EndsWith(u".zip") || descriptionPath_.EndsWith(u".ZIP")) {
        archivePath_ = descriptionPath_;
        descriptionPath_ = WithExtension(descriptionPath_, u".pmp");
    } else {
        archivePath_ = WithExtension(descriptionPath_, u".zip");
    }
    if (!ReadPackageDescription(descriptionPath_, packageIndex, description_, loadError_) ||
        !EntriesStayInside(description_, loadError_)) {
        scope.Write(VnString::Format(u"\"%s\" not loaded: %s", source, loadError_));
        description_ = PackageDescription();
        return false;
    }
    scope.Write(VnString::Format(u"\"%s\": \"%s\" with %d file entries", source, description_.name,
                                 description_.files.GetSize()));
    return true;
}

bool CInstallPackage::Install(const PackageInstallContext& context) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    ToolsInterface* tools = VnTools();
    ProductInformation* product = LoadedProductInformation();
    unpackFolder_ = MakeUnpackFolder();
    if (unpackFolder_.IsEmpty()) {
        scope.Write(VN_LIT(u"No temporary folder could be made"));
        ShowPackageMessage(VnString::Format(Translated(u"Failed to install package.\r\n\r\nMore Info: %s\r\nURL: %s"),
                                            Translated(u"No temporary folder could be made."), description_.url));
        return false;
    }
    if (description_.hasFileActions && !context.silent) {
        const VnString question = (product ? product->GetProductName(0) : VnString()) +
                                  Translated(u" is about to install a component.  Do you wish to continue?");
        if (!tools || tools->AskQuestion(question, Translated(u"Confirm Action")) != kToolsAnswerYes) {
            scope.Write(VN_LIT(u"Declined"));
            CleanUp();
            return false;
        }
    }
    if (context.display) context.display->SetStatusText(Translated(u"Working..."));
    const bool haveArchive = VnFileSystem::FileExists(archivePath_);
    unpacked_ = haveArchive && tools && tools->GetArchive() &&
                tools->GetArchive()->Extract(archivePath_, unpackFolder_, description_.HasOption(u"SAVE_DIR_STRUCT"));
    if (context.display) context.display->SetStatusText(VnString());

    VnString failure;
    const bool installed = RunPackageAction(context, failure);
    if (!installed) {
        scope.Write(failure);
        ShowPackageMessage(VnString::Format(Translated(u"Failed to install package.\r\n\r\nMore Info: %s\r\nURL: %s"),
                                            failure, description_.url));
    }
    if (!description_.HasOption(u"DONT_CLEANUP")) CleanUp();
    scope.SetResult(installed ? 1 : 0);
    return installed;
}

bool CInstallPackage::RunPackageAction(const PackageInstallContext& context, VnString& failure) {
    const PackageActionContext actions{context.programFolder, unpackFolder_};
    if (description_.HasActionWord(u"UNZIPDIR")) {
        if (!unpacked_) {
            failure = VnString::Format(Translated(u"Failed to unzip file '%s'."), archivePath_);
            return false;
        }
    } else if (description_.HasActionWord(u"INSTALLSKIN") || description_.HasActionWord(u"INSTALLMINISKIN")) {
        if (!unpacked_ || !InstallSkinFolder(unpackFolder_, context.programFolder, description_.name,
                                             description_.HasActionWord(u"INSTALLMINISKIN"))) {
            failure = Translated(u"INSTALLSKIN action failed.");
            return false;
        }
        return true;
    } else if (description_.HasActionWord(u"INSTALLTRACKINFO")) {
        if (!unpacked_ || !InstallTrackInfoFolder(unpackFolder_, context.programFolder)) {
            failure = Translated(u"INSTALLTRACKINFO action failed.");
            return false;
        }
        return true;
    } else if (!description_.HasActionWord(u"INSTALLMEDIA") && !description_.HasActionWord(u"PREVIEWMEDIA") &&
               !description_.HasActionWord(u"NONE")) {
        failure = VnString::Format(Translated(u"Unknown package action '%s'."), description_.actionWords);
        return false;
    }
    RunPackageFileActions(description_, actions);
    return true;
}

void CInstallPackage::RunPostInstall() {
    ToolsInterface* tools = VnTools();
    if (!tools || description_.name.IsEmpty()) return;
    ToolsPropertyStore* store = tools->OpenPropertyStore(VN_LIT(u"Plugins\\Uninstall"));
    if (!store) return;
    store->SetText(description_.name, u"Package|" + descriptionPath_, 0);
    delete store;
}

void CInstallPackage::CleanUp() {
    if (!unpackFolder_.IsEmpty()) DeleteDirectoryTree(unpackFolder_);
    if (!downloadedFile_.IsEmpty()) VnFileSystem::DeleteFile(downloadedFile_);
}
