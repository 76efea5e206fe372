// Reading a package description file through the platform: the XML text, or
// the INI values through GetPrivateProfileStringW.
#include "PackageDescription.h"
#include "VnPlatform.h"
#include "VnXmlDocument.h"

bool ReadPackageDescription(const VnString& path, int32_t packageIndex, PackageDescription& description,
                            VnString& error) {
    IVnFiles& files = VnPlatform().Files();
    std::string bytes;
    const uint32_t result = files.ReadFile(path, bytes, 0, 4096);
    if (result != vnwin::kErrorSuccess) {
        error = VnString::Format(u"the description cannot be read, error: %u", result);
        return false;
    }
    VnString start = VnXmlDecodeBytes(bytes);
    start.TrimLeft();
    if (start.StartsWith(u"<")) {
        if (files.ReadFile(path, bytes) != vnwin::kErrorSuccess) {
            error = VN_LIT(u"the description cannot be read");
            return false;
        }
        return ReadPackageXml(VnXmlDecodeBytes(bytes), packageIndex, description, error);
    }
    return ReadPackageIni(
        [&](const VnString& section, const VnString& key) {
            return files.GetPrivateProfileString(path, section, key, VnString(), kPackageIniValueChars);
        },
        description, error);
}
