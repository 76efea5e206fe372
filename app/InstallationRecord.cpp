#include "InstallationRecord.h"

#include "ProcessInformationBlock.h"
#include "VnPlatform.h"

namespace {

// The "Path" text of one record key; empty when it has none.
VnString ReadRecordPath(IVnRegistry& registry, VnRegKey installations, const VnString& name) {
    VnRegKey record = 0;
    if (registry.OpenSubKey(installations, name, vnwin::kKeyRead, record) != vnwin::kErrorSuccess) return VnString();
    VnRegValue path;
    bool found = registry.QueryValue(record, u"Path", path) == vnwin::kErrorSuccess && path.type == vnwin::kRegSz;
    registry.CloseKey(record);
    return found ? path.text : VnString();
}

}  // namespace

VnString FindInstallation(const VnString& productName) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey installations = 0;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kInstallationsKey, vnwin::kKeyRead, installations) !=
        vnwin::kErrorSuccess)
        return VnString();

    VnString folder;
    VnString name;
    for (uint32_t index = 0; registry.EnumKey(installations, index, name) == vnwin::kErrorSuccess; ++index) {
        if (!name.EqualsNoCase(productName)) continue;
        folder = ReadRecordPath(registry, installations, name);
        if (!folder.IsEmpty()) break;
    }
    registry.CloseKey(installations);

    if (!folder.IsEmpty()) ProcessInformationBlock::Get().SetProgramFolder(folder);
    return folder;
}
