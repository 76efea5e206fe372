#include "ProgramDataFolder.h"

#include "InstallOptions.h"
#include "LoadedProduct.h"
#include "RegistryTreeCopy.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

VnString ProgramDataFolder() {
    const InstallOptions& options = InstallOptions::Get();
    if (options.PortableSetup)
        return options.DestinationFolder.IsEmpty() ? VnString() : options.DestinationFolder + u"Application Data\\";
    ProductInformation* product = LoadedProductInformation();
    const VnString appData = VnPlatform().System().GetSpecialFolder(vnwin::kCsidlAppData);
    const VnString name = product ? product->GetProductName(4) : VnString();
    if (appData.IsEmpty() || name.IsEmpty()) return VnString();
    return NormaliseFolder(appData) + u"V. Arnel\\" + name + u"\\";
}

VnString EarlierDataFolder(const VnString& currentFolder, const VnString& currentName, int version) {
    return ReplaceNoCase(currentFolder, currentName, VnString::Format(u"Tunaro %d", version));
}

VnString ReplaceNoCase(const VnString& text, const VnString& find, const VnString& replacement) {
    TextReplacements replacements;
    replacements.Add(find, replacement);
    return replacements.Apply(text);
}
