#include "AssociationProductFacts.h"

#include <string>

#include "VnXmlDocument.h"

VnString ProgIdBaseOf(ProductInformation& product) {
    VnString compact = product.GetProductName(3);
    compact.Remove(u' ');
    return compact + u"." + product.GetProductVersion();
}

VnString DottedProductExtension(ProductInformation& product) {
    const VnString extension = product.GetProductExtension();
    return extension.StartsWith(u".") ? extension : u"." + extension;
}

AssociationProduct DescribeAssociationProduct(ProductInformation& product, const VnString& installFolder) {
    AssociationProduct facts;
    facts.progIdBase = ProgIdBaseOf(product);
    facts.productExtension = DottedProductExtension(product);
    facts.launcherPath = product.GetLauncherPath();
    facts.executablePath = installFolder + product.GetExecutableName();
    facts.mimeTypes = product.GetMimeTypes();
    facts.protocols = product.GetProtocols();
    return facts;
}

FileTypeCatalogueReadResult ReadFileTypeCatalogueFile(const VnString& path, const FileTypeCatalogueInputs& inputs,
                                                      CFileTypeCatalogueData& catalogue) {
    FileTypeCatalogueReadResult result;
    result.versionText = VN_LIT(u"Unknown");
    std::string bytes;
    if (path.IsEmpty()) {
        result.problem = VN_LIT(u"the file is missing");
    } else if (VnPlatform().Files().ReadFile(path, bytes) != vnwin::kErrorSuccess) {
        result.problem = VN_LIT(u"the file cannot be read");
    } else {
        result = catalogue.Read(VnXmlDecodeBytes(bytes), inputs);
    }
    return result;
}
