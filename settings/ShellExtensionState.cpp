#include "ShellExtensionState.h"

#include "ComponentRegistration.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kHandlersKey[] = u"*\\shellex\\ContextMenuHandlers\\";
constexpr char16_t kShellExtensionsComponent[] = u"Shell Extensions";
}  // namespace

bool IsShellExtensionRegistered(ProductInformation* product, uint32_t access) {
    if (!product) return false;
    const VnString name = product->GetProductName(3);
    if (name.IsEmpty()) return false;  // never the handler list itself
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.OpenKey(VnRegRoot::ClassesRoot, kHandlersKey + name, access, key) != vnwin::kErrorSuccess)
        return false;
    registry.CloseKey(key);
    return true;
}

bool RegisterShellExtension(bool reg) {
    return RunPackageInstaller((reg ? u"/RegDLL " : u"/UnRegDLL ") + VnString(kShellExtensionsComponent));
}
