#include "UninstallEntry.h"

#include "InstallationSearch.h"
#include "LoadedProduct.h"
#include "ProgramResourceLookup.h"
#include "VnPlatform.h"

VnString UninstallKeyNameToWrite(ProductInformation& product, const InstallOptions& options) {
    return options.UninstallKeyName.IsEmpty() ? product.GetProductName(4) : options.UninstallKeyName;
}

// The data folder is the installed program's, since the entry must outlive
// the set-up folder.
VnString FindDisplayIcon(const VnString& destinationFolder) {
    return FindResourceFile(destinationFolder + u"Data\\", ProgramResourceKind::Art, kDisplayIconName);
}

VnString FolderOfEntryToReplace(ProductInformation& product, const InstallOptions& options) {
    const VnString keyName = UninstallKeyNameToWrite(product, options);
    if (options.PortableSetup || keyName.IsEmpty()) return VnString();
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey entry = 0;
    if (registry.OpenKey(VnRegRoot::LocalMachine, VnString(kUninstallListKey) + u"\\" + keyName, vnwin::kKeyRead,
                         entry) != vnwin::kErrorSuccess)
        return VnString();
    VnRegValue location;
    const bool found = registry.QueryValue(entry, u"InstallLocation", location) == vnwin::kErrorSuccess &&
                       location.type == vnwin::kRegSz;
    registry.CloseKey(entry);
    return found ? location.text : VnString();
}

void WriteUninstallEntry(ProductInformation& product, const InstallOptions& options) {
    if (options.PortableSetup) return;
    const VnString keyName = UninstallKeyNameToWrite(product, options);
    if (keyName.IsEmpty()) return;  // never into the list key itself

    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey entry = 0;
    if (registry.CreateKey(VnRegRoot::LocalMachine, VnString(kUninstallListKey) + u"\\" + keyName,
                           vnwin::kKeyReadWrite, entry) != vnwin::kErrorSuccess)
        return;

    const VnString& destination = options.DestinationFolder;
    const VnString url = product.GetProductURL();
    const struct {
        const char16_t* name;
        VnString data;
    } values[] = {
        {u"DisplayName", product.GetProductName(1)},
        {u"HelpLink", url},
        {u"URLUpdateInfo", url},
        {u"URLInfoAbout", url},
        {u"InstallLocation", destination},
        {u"Publisher", kProductPublisher},
        {u"DisplayVersion", product.GetProductVersion()},
        {u"DisplayIcon", FindDisplayIcon(destination)},
        {u"UninstallString", destination + kUninstallProgramName},  // not quoted, even with spaces
    };
    for (const auto& value : values) registry.SetValue(entry, value.name, VnRegValue::String(value.data));
    registry.CloseKey(entry);
}

void WriteUninstallEntry() {
    if (ProductInformation* product = LoadedProductInformation()) WriteUninstallEntry(*product, InstallOptions::Get());
}
