#include "DestinationDefaults.h"

#include "InstallerKey.h"
#include "LoadedProduct.h"
#include "ProcessInformationBlock.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "WizardTools.h"

namespace {
constexpr char16_t kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char16_t kProgramFilesValue[] = u"ProgramFilesDir";
constexpr char16_t kProgramFilesFallback[] = u"C:\\Program Files\\";
constexpr char16_t kInstallToPath[] = u"/*/Product/InstallToPath";
}  // namespace

VnString ProgramFilesFolder() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    VnRegValue value;
    VnString folder;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kCurrentVersionKey, vnwin::kKeyRead, key) == vnwin::kErrorSuccess) {
        if (registry.QueryValue(key, kProgramFilesValue, value) == vnwin::kErrorSuccess &&
            (value.type == vnwin::kRegSz || value.type == vnwin::kRegExpandSz))
            folder = value.text;
        registry.CloseKey(key);
    }
    return folder.IsEmpty() ? VnString(kProgramFilesFallback) : NormaliseFolder(folder);
}

VnString DefaultDestinationFolder(const InstallOptions& options) {
    if (options.PortableSetup) return VnString();
    VnString candidate;
    if (options.SameVersionInstalled) candidate = ProcessInformationBlock::Get().GetProgramFolder();
    if (candidate.IsEmpty() && !options.OtherVersionInstalled) candidate = CInstallerKey().GetInstallDirectory();
    if (candidate.IsEmpty()) {
        if (ProductInformation* product = LoadedProductInformation())
            candidate = product->GetInfoString(kInstallToPath, VnString());
    }
    if (candidate.IsEmpty())
        candidate = VnString::Format(u"%sV Arnel\\%s", ProgramFilesFolder(), wizard_tools::ProductName(4));
    return candidate;
}
