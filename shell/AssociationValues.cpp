#include "AssociationValues.h"

#include "AssociationWriter.h"

VnString RegistryValueText(VnRegKey key, const VnString& name) {
    VnRegValue value;
    if (VnPlatform().Registry().QueryValue(key, name, value) != vnwin::kErrorSuccess) return VnString();
    if (value.type == vnwin::kRegSz || value.type == vnwin::kRegExpandSz) return value.text;
    if (value.type == vnwin::kRegDword) return VnString::FromInt(int32_t(uint32_t(value.number)));
    return VnString();
}

bool ReadStoredAssociationValue(VnRegKey key, const VnString& name, StoredAssociationValue& value) {
    VnRegValue stored;
    if (VnPlatform().Registry().QueryValue(key, name, stored) != vnwin::kErrorSuccess) return false;
    value = StoredAssociationValue();
    value.type = stored.type;
    value.text = stored.text;
    value.holdsData = stored.type == vnwin::kRegDword || stored.type == vnwin::kRegQword ? true
                      : stored.type == vnwin::kRegExpandSz || stored.type == vnwin::kRegMultiSz
                          ? !stored.text.IsEmpty()
                          : !stored.bytes.empty();
    return true;
}

bool StoredAssociationValue::NeedsBackup(const VnString& wanted, const CAssociationWriter& writer) const {
    if (type != vnwin::kRegSz) return holdsData;
    return !text.IsEmpty() && !writer.IsOurs(text) && !text.EqualsNoCase(wanted);
}

void StoredAssociationValue::SaveAsBackup(VnRegKey key, const VnString& name, const VnString& backupName) const {
    IVnRegistry& registry = VnPlatform().Registry();
    uint32_t existingType = vnwin::kRegNone;
    std::basic_string<uint8_t> existing;
    if (registry.QueryRawValue(key, backupName, existingType, existing) == vnwin::kErrorSuccess) return;
    if (type == vnwin::kRegSz) {
        registry.SetValue(key, backupName, VnRegValue::String(text));
        return;
    }
    // Another type is copied as it is stored, read raw only now (rarely needed).
    uint32_t rawType = vnwin::kRegNone;
    std::basic_string<uint8_t> raw;
    if (registry.QueryRawValue(key, name, rawType, raw) == vnwin::kErrorSuccess)
        registry.SetRawValue(key, backupName, rawType, raw);
}
