#include "ToolsLibrary.h"

#include "ToolsFolders.h"
#include "ToolsNamedMutexLock.h"
#include "ToolsRegistryStore.h"
#include "VnPlatform.h"

VnString ToolsResolvedFolders::GetProgramFolder() const {
    return source_ ? ToolsFolderPath(source_->GetProgramFolder()) : VnString();
}

VnString ToolsResolvedFolders::GetModuleFolder() const {
    VnString folder = source_ ? source_->GetModuleFolder() : VnString();
    return ToolsFolderPath(folder.IsEmpty() ? ownFolder_ : folder);
}

VnToolsLibrary::VnToolsLibrary(const VnString& ownFolder) : folders_(ownFolder) {}

void VnToolsLibrary::SetProcessFolders(const ToolsProcessFolders* folders) {
    std::lock_guard<std::mutex> lock(productMutex_);
    folders_.SetSource(folders);
}

ProductInformation* VnToolsLibrary::GetProductInformation(VnString& error) {
    std::lock_guard<std::mutex> lock(productMutex_);
    VnString folder = folders_.GetModuleFolder();
    int32_t known = productFolders_.FindNoCase(folder);
    if (known >= 0) return products_[known];
    if (folder.IsEmpty()) {
        error = VN_LIT(u"The folder of the product information is not known.");
        return nullptr;
    }
    auto file = std::make_unique<ToolsProductFile>();
    if (!file->Load(folder + ToolsProductFile::kFileName, error)) {
        log_.Write(VN_LIT(u"VnTools::GetProductInformation"), error);
        return nullptr;
    }
    products_.Add(new ToolsProductInformation(std::move(file), folders_));
    productFolders_.Add(folder);
    return products_[products_.GetSize() - 1];
}

ToolsPropertyStore* VnToolsLibrary::OpenPropertyStore(const VnString& name) {
    VnString error;
    auto* product = static_cast<ToolsProductInformation*>(GetProductInformation(error));
    if (!product) return nullptr;
    VnString key = VnString::Format(u"Software\\V. Arnel\\Tunaro %d", product->File().MajorVersion());
    if (!name.IsEmpty()) key += u"\\" + name;
    return new ToolsRegistryStore(VnRegRoot::CurrentUser, key, 0);
}

void VnToolsLibrary::ReloadSettings(const VnString& storeName) {
    log_.Write(u"VnTools::ReloadSettings",
               storeName.IsEmpty() ? VnString(u"Every store: nothing kept to reload")
                                   : VnString::Format(u"Store \"%s\": nothing kept to reload", storeName));
}

ToolsPropertyStore* VnToolsLibrary::OpenRegistryStore(uint32_t root, const VnString& keyPath, uint32_t view) {
    return ToolsRegistryStore::Create(root, keyPath, view & (vnwin::kKeyWow64_64Key | vnwin::kKeyWow64_32Key));
}

ToolsNamedLock* VnToolsLibrary::CreateNamedLock(const VnString& name) { return new ToolsNamedMutexLock(name); }
