#include "ToolsRegistryStore.h"
#include "VnRegKeyCloser.h"

#include "ToolsFolders.h"
#include "ToolsText.h"

namespace {

IVnRegistry& Registry() { return VnPlatform().Registry(); }

using KeyCloser = VnRegKeyCloser;

const char16_t* RootName(VnRegRoot root) {
    switch (root) {
        case VnRegRoot::ClassesRoot: return u"HKEY_CLASSES_ROOT";
        case VnRegRoot::CurrentUser: return u"HKEY_CURRENT_USER";
        case VnRegRoot::LocalMachine: return u"HKEY_LOCAL_MACHINE";
        case VnRegRoot::Users: return u"HKEY_USERS";
    }
    return u"";
}

bool IsText(uint32_t type) { return type == vnwin::kRegSz || type == vnwin::kRegExpandSz; }
bool IsNumber(uint32_t type) { return type == vnwin::kRegDword || type == vnwin::kRegQword; }
bool IsGone(uint32_t error) { return error == vnwin::kErrorSuccess || error == vnwin::kErrorFileNotFound; }

}  // namespace

ToolsRegistryStore* ToolsRegistryStore::Create(uint32_t root, const VnString& keyPath, uint32_t view) {
    for (VnRegRoot known : {VnRegRoot::ClassesRoot, VnRegRoot::CurrentUser, VnRegRoot::LocalMachine, VnRegRoot::Users})
        if (uint32_t(known) == root) return new ToolsRegistryStore(known, keyPath, view);
    return nullptr;
}

VnString ToolsRegistryStore::GetKeyPath() {
    VnString path = RootName(root_);
    return keyPath_.IsEmpty() ? path : path + u"\\" + keyPath_;
}

VnRegKey ToolsRegistryStore::OpenForReading() {
    VnRegKey key = 0;
    return Registry().OpenKey(root_, keyPath_, vnwin::kKeyRead | view_, key) == vnwin::kErrorSuccess ? key : 0;
}

VnRegKey ToolsRegistryStore::OpenForEditing(bool create) {
    VnRegKey key = 0;
    uint32_t access = vnwin::kKeyReadWrite | view_;
    uint32_t error = create ? Registry().CreateKey(root_, keyPath_, access, key)
                            : Registry().OpenKey(root_, keyPath_, access, key);
    return error == vnwin::kErrorSuccess ? key : 0;
}

bool ToolsRegistryStore::KeyExists() {
    VnRegKey key = OpenForReading();
    KeyCloser closer(key);
    return key != 0;
}

bool ToolsRegistryStore::Query(const VnString& name, VnRegValue* value) {
    VnRegKey key = OpenForReading();
    KeyCloser closer(key);
    VnRegValue ignored;
    return key && Registry().QueryValue(key, name, value ? *value : ignored) == vnwin::kErrorSuccess;
}

bool ToolsRegistryStore::Write(const VnString& name, const VnRegValue& value) {
    VnRegKey key = OpenForEditing(true);
    KeyCloser closer(key);
    return key && Registry().SetValue(key, name, value) == vnwin::kErrorSuccess;
}

bool ToolsRegistryStore::ReadText(const VnString& name, VnString& value) {
    VnRegValue stored;
    if (!Query(name, &stored)) return false;
    if (IsText(stored.type)) {
        value = stored.text;
        return true;
    }
    if (!IsNumber(stored.type)) return false;
    value = VnString::FromInt(stored.type == vnwin::kRegDword ? int64_t(int32_t(uint32_t(stored.number)))
                                                              : int64_t(stored.number));
    return true;
}

VnString ToolsRegistryStore::GetText(const VnString& name, const VnString& defaultValue) {
    VnString value;
    return ReadText(name, value) ? value : defaultValue;
}

bool ToolsRegistryStore::ReadNumber(const VnString& name, int32_t& value) {
    VnRegValue stored;
    if (!Query(name, &stored)) return false;
    if (IsNumber(stored.type)) {
        value = int32_t(uint32_t(stored.number));
        return true;
    }
    return IsText(stored.type) && ToolsParseInt(stored.text, value);
}

int32_t ToolsRegistryStore::GetNumber(const VnString& name, int32_t defaultValue) {
    int32_t value;
    return ReadNumber(name, value) ? value : defaultValue;
}

bool ToolsRegistryStore::SetText(const VnString& name, const VnString& value, uint32_t flags) {
    const uint32_t type = flags & kToolsStoreFlagExpandable ? vnwin::kRegExpandSz : vnwin::kRegSz;
    return Write(name, VnRegValue::String(flags & kToolsStoreFlagFolder ? ToolsFolderPath(value) : value, type));
}

bool ToolsRegistryStore::SetNumber(const VnString& name, int32_t value, uint32_t flags) {
    return Write(name, VnRegValue::Dword(uint32_t(value)));
}

bool ToolsRegistryStore::DeleteValue(const VnString& name) {
    VnRegKey key = OpenForEditing(false);
    KeyCloser closer(key);
    if (!key) return !Query(name, nullptr);
    return IsGone(Registry().DeleteValue(key, name));
}

bool ToolsRegistryStore::DeleteSubKey(const VnString& name) {
    if (name.IsEmpty()) return false;  // never the store's own key through an empty name
    VnRegKey key = OpenForEditing(false);
    KeyCloser closer(key);
    if (!key) return !KeyExists();
    return IsGone(Registry().DeleteTree(key, name, view_));
}

VnString ToolsRegistryStore::EnumName(int index, bool subKeys) {
    VnRegKey key = OpenForReading();
    KeyCloser closer(key);
    VnString name;
    if (!key || index < 0) return name;
    uint32_t error = subKeys ? Registry().EnumKey(key, uint32_t(index), name)
                             : Registry().EnumValue(key, uint32_t(index), name);
    if (error != vnwin::kErrorSuccess) name.Empty();
    return name;
}

uint32_t ToolsRegistryStore::GetValueType(const VnString& name) {
    VnRegValue stored;
    return Query(name, &stored) ? stored.type : 0;
}

// Raw data, so that every type arrives byte for byte (a string without its
// terminating zero, a multi-string with odd closing zeros, a short DWORD).
bool ToolsRegistryStore::CopyValue(const VnString& name, ToolsPropertyStore& destination) {
    auto* target = dynamic_cast<ToolsRegistryStore*>(&destination);
    if (!target) return false;
    uint32_t type = vnwin::kRegNone;
    std::basic_string<uint8_t> data;
    {
        VnRegKey key = OpenForReading();
        KeyCloser closer(key);
        if (!key || Registry().QueryRawValue(key, name, type, data) != vnwin::kErrorSuccess) return false;
    }
    VnRegKey key = target->OpenForEditing(true);
    KeyCloser closer(key);
    return key && Registry().SetRawValue(key, name, type, data) == vnwin::kErrorSuccess;
}
