#include "SimPendingRenames.h"

namespace {
constexpr char16_t kNtPrefix[] = u"\\??\\";
constexpr std::u16string_view kZero(u"\0", 1);

uint32_t OpenSessionManager(IVnRegistry& registry, uint32_t access, bool create, VnRegKey& key) {
    if (create) return registry.CreateKey(VnRegRoot::LocalMachine, kVnSessionManagerKey, access, key);
    return registry.OpenKey(VnRegRoot::LocalMachine, kVnSessionManagerKey, access, key);
}
}  // namespace

VnString VnNtPathOf(const VnString& windowsPath) { return VnString(kNtPrefix) + windowsPath; }

VnString VnWindowsPathOfNt(const VnString& ntPath) {
    if (!ntPath.StartsWith(kNtPrefix)) return VnString();
    VnString path = ntPath.Mid(4);
    bool drivePath = path.GetLength() >= 3 && path[1] == u':' && path[2] == u'\\';
    return drivePath ? path : VnString();
}

uint32_t VnAppendPendingRename(IVnRegistry& registry, const VnPendingRename& rename) {
    VnRegKey key = 0;
    uint32_t error = OpenSessionManager(registry, vnwin::kKeyReadWrite, true, key);
    if (error) return error;
    VnRegValue current;
    // The value's strings joined with zeros. A reader that dropped the empty
    // target of a trailing deletion leaves an odd count: put it back, so
    // that the pairs stay pairs.
    VnString list;
    if (registry.QueryValue(key, kVnPendingRenamesValue, current) == 0 && current.type == vnwin::kRegMultiSz &&
        !current.text.IsEmpty()) {
        list = current.text;
        if (VnStringArray::Split(list, kZero).GetSize() % 2 == 1) list += char16_t(0);
    }
    VnString target;
    if (!rename.target.IsEmpty()) target = (rename.replaceExisting ? VN_LIT(u"!") : VnString()) + VnNtPathOf(rename.target);
    VnString pair = VnNtPathOf(rename.source);
    pair += char16_t(0);
    pair += target;
    if (!list.IsEmpty()) list += char16_t(0);
    list += pair;
    error = registry.SetValue(key, kVnPendingRenamesValue, VnRegValue::String(list, vnwin::kRegMultiSz));
    registry.CloseKey(key);
    return error;
}

uint32_t VnReadPendingRenames(IVnRegistry& registry, VnCoreArray<VnPendingRename>& renames) {
    renames.RemoveAll();
    VnRegKey key = 0;
    if (OpenSessionManager(registry, vnwin::kKeyRead, false, key) != 0) return 0;
    VnRegValue value;
    uint32_t error = registry.QueryValue(key, kVnPendingRenamesValue, value);
    registry.CloseKey(key);
    if (error == vnwin::kErrorFileNotFound) return 0;
    if (error) return error;
    if (value.text.IsEmpty()) return 0;
    VnStringArray strings = VnStringArray::Split(value.text, kZero);
    for (int32_t i = 0; i < strings.GetSize(); i += 2) {
        VnPendingRename rename;
        rename.source = VnWindowsPathOfNt(strings[i]);
        VnString target = i + 1 < strings.GetSize() ? strings[i + 1] : VnString();
        rename.replaceExisting = target.StartsWith(u"!");
        if (rename.replaceExisting) target = target.Mid(1);
        if (!target.IsEmpty()) {
            rename.target = VnWindowsPathOfNt(target);
            if (rename.target.IsEmpty()) rename.source.Empty();  // a target we cannot read: skip the pair
        }
        renames.Add(rename);
    }
    return 0;
}

uint32_t VnClearPendingRenames(IVnRegistry& registry) {
    VnRegKey key = 0;
    if (OpenSessionManager(registry, vnwin::kKeyReadWrite, false, key) != 0) return 0;
    uint32_t error = registry.DeleteValue(key, kVnPendingRenamesValue);
    registry.CloseKey(key);
    return error == vnwin::kErrorFileNotFound ? 0 : error;
}
