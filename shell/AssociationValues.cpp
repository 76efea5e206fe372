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
    IVnRegistry& registry = VnPlatform().Registry();
    value = StoredAssociationValue();
    if (registry.QueryRawValue(key, name, value.type, value.bytes) != vnwin::kErrorSuccess) return false;
    if (value.type == vnwin::kRegSz) {
        VnRegValue text;
        if (registry.QueryValue(key, name, text) == vnwin::kErrorSuccess) value.text = text.text;
    }
    return true;
}

bool StoredAssociationValue::NeedsBackup(const VnString& wanted, const CAssociationWriter& writer) const {
    if (type != vnwin::kRegSz) return !bytes.empty();
    return !text.IsEmpty() && !writer.IsOurs(text) && !text.EqualsNoCase(wanted);
}

void StoredAssociationValue::SaveAsBackup(VnRegKey key, const VnString& backupName) const {
    IVnRegistry& registry = VnPlatform().Registry();
    uint32_t existingType = vnwin::kRegNone;
    std::basic_string<uint8_t> existing;
    if (registry.QueryRawValue(key, backupName, existingType, existing) == vnwin::kErrorSuccess) return;
    if (type == vnwin::kRegSz)
        registry.SetValue(key, backupName, VnRegValue::String(text));
    else
        registry.SetRawValue(key, backupName, type, bytes);
}
