// The "REGISTRY" package action: one string value written where the package
// says, with the product's name and the program folder filled in.
#include "EngineLog.h"
#include "LoadedProduct.h"
#include "PackageFileActions.h"
#include "VnPlatform.h"

namespace {
constexpr uint32_t kKeyReadWrite = 0x2001F;  // KEY_READ | KEY_WRITE

// HKEY_CURRENT_CONFIG is a view of this key of HKEY_LOCAL_MACHINE.
constexpr char16_t kCurrentConfigKey[] = u"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\";

VnRegRoot RootNamed(const VnString& name, VnString& keyPrefix) {
    if (name == u"HKEY_LOCAL_MACHINE") return VnRegRoot::LocalMachine;
    if (name == u"HKEY_CLASSES_ROOT") return VnRegRoot::ClassesRoot;
    if (name == u"HKEY_USERS") return VnRegRoot::Users;
    if (name == u"HKEY_CURRENT_CONFIG") {
        keyPrefix = kCurrentConfigKey;
        return VnRegRoot::LocalMachine;
    }
    return VnRegRoot::CurrentUser;  // HKEY_CURRENT_USER and anything unknown
}
}  // namespace

bool RunRegistryAction(const VnString& param, const VnString& programFolder) {
    VnString text = param;
    if (ProductInformation* product = LoadedProductInformation())
        text.Replace(u"[NameWithVersion]", product->GetProductName(4).View());
    const VnStringArray fields = VnStringArray::Split(text, u"|");
    if (fields.GetSize() < 4) {
        EngineLog(u"CInstallPackage::Registry", VnString::Format(u"Too few fields, nothing written: %s", param));
        return false;
    }
    VnString prefix;
    const VnRegRoot root = RootNamed(fields[0], prefix);
    VnString data = fields[3];
    data.Replace(u"[PROGRAMPATH]", programFolder.View());
    data.Replace(u"<PROGRAMPATH>", programFolder.View());
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    uint32_t error = registry.CreateKey(root, prefix + fields[1], kKeyReadWrite, key);
    if (error == vnwin::kErrorSuccess) {
        error = registry.SetValue(key, fields[2], VnRegValue::String(data));
        registry.CloseKey(key);
    }
    if (error != vnwin::kErrorSuccess)
        EngineLog(u"CInstallPackage::Registry", VnString::Format(u"Writing %s failed, error: %u", param, error));
    return error == vnwin::kErrorSuccess;
}
