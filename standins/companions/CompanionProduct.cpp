#include "CompanionProduct.h"

#include "ToolsProductFile.h"

bool FindProductSettingsKey(const VnString& programFolder, VnString& keyPath) {
    ToolsProductFile product;
    VnString error;
    if (!product.Load(programFolder + ToolsProductFile::kFileName, error) || product.MajorVersion() <= 0) return false;
    keyPath = VnString::Format(u"Software\\V. Arnel\\Tunaro %d", product.MajorVersion());
    return true;
}
