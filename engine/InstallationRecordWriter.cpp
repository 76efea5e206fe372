#include "InstallationRecordWriter.h"

#include <memory>

#include "InstallationRecord.h"
#include "InstallationSearch.h"
#include "InstallerKey.h"
#include "OperatingSystem.h"
#include "ToolsLink.h"
#include "UninstallEntry.h"
#include "VersionInfo.h"
#include "VnPlatform.h"

namespace {

constexpr uint32_t kPlainValue = 0;

std::unique_ptr<ToolsPropertyStore> OpenMachineStore(ToolsInterface& tools, const VnString& keyPath) {
    return std::unique_ptr<ToolsPropertyStore>(
        tools.OpenRegistryStore(uint32_t(VnRegRoot::LocalMachine), keyPath, 0));
}

void WriteRecordKey(ToolsInterface& tools, ProductInformation& product, const InstallOptions& options) {
    const VnString recordName = product.GetProductName(4);
    if (recordName.IsEmpty()) return;  // never into the "Installations" key itself

    if (auto installations = OpenMachineStore(tools, kInstallationsKey))
        installations->SetText(VnString(), recordName, kPlainValue);

    auto record = OpenMachineStore(tools, VnString(kInstallationsKey) + u"\\" + recordName);
    if (!record) return;
    record->SetText(u"Path", options.DestinationFolder, kToolsStoreFlagFolder);
    record->SetText(u"Version", PayloadVersionText(product), kPlainValue);
    record->SetNumber(u"OS Version", GetOperatingSystemCode(), kPlainValue);
    record->SetText(u"Launcher Name", product.GetLauncherName(), kPlainValue);
    record->SetText(u"Uninstall Key", UninstallKeyNameToWrite(product, options), kPlainValue);
    // The identifier of this installation survives reinstalls.
    if (record->GetText(u"GUID", VnString()).IsEmpty())
        record->SetText(u"GUID", VnPlatform().System().CreateGuid(), kPlainValue);
}

}  // namespace

VnString PayloadVersionText(ProductInformation& product) {
    CVersionInfo info;
    info.Init();
    VnString text;
    if (info.Load(PayloadExecutablePath(product)) != 0 || info.GetVersionText(text, false) != 0) return VnString();
    return text;
}

void WriteInstallationRecord(ToolsInterface& tools, const InstallOptions& options) {
    VnString error;
    ProductInformation* product = tools.GetProductInformation(error);
    if (!product) return;
    if (!options.PortableSetup) WriteRecordKey(tools, *product, options);

    CInstallerKey installerKey(&tools);
    if (!options.DistributorID.IsEmpty()) installerKey.SetDistributorID(options.DistributorID);
    installerKey.SetInstallDirectory(options.DestinationFolder);
}

void WriteInstallationRecord() {
    if (ToolsInterface* tools = VnTools()) WriteInstallationRecord(*tools, InstallOptions::Get());
}
