#include "InputPluginSource.h"

#include <memory>

VnStringArray RegistryInputPluginSource::GetInputPluginNames() {
    VnStringArray names;
    if (!tools_) return names;
    std::unique_ptr<ToolsPropertyStore> records(tools_->OpenPropertyStore(kInputPluginRecordsKey));
    if (!records) return names;
    for (int index = 0;; ++index) {
        VnString name = records->GetSubKeyName(index);
        if (name.IsEmpty()) break;
        names.Add(std::move(name));
    }
    return names;
}

bool RegistryInputPluginSource::CanReadPluginRecord(const VnString& name) {
    if (!tools_ || name.IsEmpty()) return false;
    std::unique_ptr<ToolsPropertyStore> record(
        tools_->OpenPropertyStore(VnString(kInputPluginRecordsKey) + u"\\" + name));
    VnString path;
    return record && record->ReadText(u"Path", path) && !path.IsEmpty();
}
