#include "AssociationValues.h"

#include <cstring>

#include "AssociationWriter.h"

VnString RegistryValueText(VnRegKey key, const VnString& name) {
    VnRegValue value;
    if (VnPlatform().Registry().QueryValue(key, name, value) != vnwin::kErrorSuccess) return VnString();
    if (value.type == vnwin::kRegSz || value.type == vnwin::kRegExpandSz) return value.text;
    if (value.type == vnwin::kRegDword) return VnString::FromInt(int32_t(uint32_t(value.number)));
    return VnString();
}

namespace {
// The UTF-16 characters of raw string data (an odd last byte dropped).
std::u16string RawChars(const std::basic_string<uint8_t>& raw) {
    std::u16string chars(raw.size() / 2, u'\0');
    if (!chars.empty()) std::memcpy(chars.data(), raw.data(), chars.size() * 2);
    return chars;
}
}  // namespace

bool ReadStoredAssociationValue(VnRegKey key, const VnString& name, StoredAssociationValue& value) {
    value = StoredAssociationValue();
    if (VnPlatform().Registry().QueryRawValue(key, name, value.type, value.raw) != vnwin::kErrorSuccess) return false;
    if (value.type == vnwin::kRegSz) {
        // A string ends at its first zero, as Windows reads it.
        const std::u16string chars = RawChars(value.raw);
        value.text = VnString(std::u16string_view(chars).substr(0, chars.find(u'\0')));
    }
    // Any bytes of another type are another program's: kept, never judged.
    value.holdsData = !value.raw.empty();
    return true;
}

bool StoredAssociationValue::NeedsBackup(const VnString& wanted, const CAssociationWriter& writer) const {
    if (type != vnwin::kRegSz) return holdsData;
    return !text.IsEmpty() && !writer.IsOurs(text) && !text.EqualsNoCase(wanted);
}

void StoredAssociationValue::SaveAsBackup(VnRegKey key, const VnString& backupName) const {
    IVnRegistry& registry = VnPlatform().Registry();
    uint32_t existingType = vnwin::kRegNone;
    std::basic_string<uint8_t> existing;
    if (registry.QueryRawValue(key, backupName, existingType, existing) == vnwin::kErrorSuccess) return;
    if (type == vnwin::kRegSz) registry.SetValue(key, backupName, VnRegValue::String(text));
    else registry.SetRawValue(key, backupName, type, raw);  // as it was stored
}
