#include "ObsoleteFiles.h"

#include <memory>

#include "EngineLog.h"
#include "Finalize.h"
#include "InstallOptions.h"
#include "InstallSteps.h"
#include "InstallerKey.h"
#include "LoadedProduct.h"
#include "RunProgram.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"CleanInstallDirectory";
constexpr char16_t kObsoleteFilesPath[] = u"/*/Product/ObsoleteFiles";
constexpr char16_t kHkcuPrefix[] = u"HKEY_CURRENT_USER\\";

// The data folders, after those of feature 84.
constexpr const char16_t* kFeatureDataFolders[] = {u"Data\\", u"Skins\\", u"Stores\\"};
constexpr const char16_t* kDataFolders[] = {u"Data\\Saved Views\\", u"Skins\\Lounge View\\Themes\\Default\\"};

// As the copy decides which files register themselves: the text anywhere in
// the path, with case.
bool IsRegistrable(const VnString& path) {
    return path.Contains(u".dll") || path.Contains(u".ocx") || path.Contains(u".ax");
}

// "RegSvr32.exe /s /u "path"" from the system folder, waited for.
void UnregisterWithRegSvr32(const VnString& path) {
    const VnString program = GetWindowsFolder() + u"system32\\RegSvr32.exe";
    RunProgram(program, VnStringArray{VN_LIT(u"/s"), VN_LIT(u"/u"), u"\"" + path + u"\""});
}

// The product key below HKEY_CURRENT_USER, from the tools library's store.
VnString ProductKeyPath() {
    ToolsInterface* tools = VnTools();
    std::unique_ptr<ToolsPropertyStore> store(tools ? tools->OpenPropertyStore(VnString()) : nullptr);
    if (!store) return VnString();
    const VnString path = store->GetKeyPath();
    return path.StartsWithNoCase(kHkcuPrefix) ? path.Mid(VnString(kHkcuPrefix).GetLength()) : VnString();
}

void DeleteFolderTree(const VnString& folder) {
    if (VnFileSystem::FolderExists(folder) && !DeleteDirectoryTree(folder))
        EngineLog(kSource, VnString::Format(u"Could not remove the folder %s entirely", folder));
}

void DeleteReleaseFiles(const VnString& destination) {
    const VnStringArray& files = ObsoleteReleaseFiles();
    for (int32_t i = 0; i < files.GetSize(); ++i) {
        if (i == kObsoleteFoldersAfterFile)
            for (const VnString& folder : ObsoleteReleaseFolders()) DeleteFolderTree(destination + folder);
        DeleteObsoleteFile(destination + files[i], true);
    }
}

void DeleteDataFolders(const VnString& destination) {
    ProductInformation* product = LoadedProductInformation();
    if (product && product->HasFeature(kDeleteDataFoldersFeature))
        for (const char16_t* folder : kFeatureDataFolders) DeleteFolderTree(destination + folder);
    for (const char16_t* folder : kDataFolders) DeleteFolderTree(destination + folder);
}

// A list written by an earlier run must not be carried out again.
void ResetFinalizeList() {
    ToolsInterface* tools = VnTools();
    std::unique_ptr<ToolsPropertyStore> list(tools ? tools->OpenPropertyStore(kInstallerFinalizeStoreName) : nullptr);
    if (!list) return;
    for (VnString name = list->GetValueName(0); !name.IsEmpty(); name = list->GetValueName(0))
        if (!list->DeleteValue(name)) break;
}

void DeleteDescriptionList() {
    ProductInformation* product = LoadedProductInformation();
    if (!product) return;
    for (const VnString& path : SplitObsoleteFileList(product->GetInfoString(kObsoleteFilesPath, VnString())))
        DeleteObsoleteFile(path, true);
}

}  // namespace

VnStringArray SplitObsoleteFileList(const VnString& list) {
    VnStringArray items;
    for (const VnString& item : VnStringArray::Split(list.View(), u";"))
        if (!item.IsEmpty()) items.Add(item);
    return items;
}

void DeleteObsoleteFile(const VnString& path, bool unregisterFirst) {
    if (!VnFileSystem::FileExists(path)) return;
    if (unregisterFirst && IsRegistrable(path)) UnregisterWithRegSvr32(path);
    if (VnFileSystem::DeleteFile(path)) return;
    InstallOptions::Get().FinalizeInstallList.Add(VnString::Format(u"%s|%s", kFinalizeDeleteMark, path));
    EngineLog(kSource, VnString::Format(u"In use, deleted after the restart: %s", path));
}

void CleanInstallDirectory() {
    ToolsLogScope scope(VnToolsLog(), kSource);
    const VnString destination = InstallOptions::Get().DestinationFolder;
    if (destination.IsEmpty()) return;
    DeleteReleaseFiles(destination);
    const VnString productKey = ProductKeyPath();
    if (!productKey.IsEmpty()) CleanObsoleteRegistryEntries(productKey);
    DeleteDataFolders(destination);
    DeleteFolderTree(destination + u"Setup\\");
    ResetFinalizeList();
    DeleteDescriptionList();
}

void CleanObsoleteFiles() { CleanInstallDirectory(); }
