#include "CompanionRecord.h"

#include "VnPlatform.h"
#include "VnRegKeyCloser.h"

namespace {
// An HKEY_CURRENT_USER key opened for editing, created when missing; closed at the end of the scope.
class EditedKey {
public:
    explicit EditedKey(const VnString& path)
        : key_(VnRegRoot::CurrentUser, path, vnwin::kKeyReadWrite, VnScopedRegKey::Mode::CreateMissing) {}

    bool Set(const VnString& name, const VnRegValue& value) {
        return key_.Get() && VnPlatform().Registry().SetValue(key_.Get(), name, value) == 0;
    }
    bool Delete(const VnString& name) {
        if (!key_.Get()) return false;
        uint32_t error = VnPlatform().Registry().DeleteValue(key_.Get(), name);
        return error == 0 || error == vnwin::kErrorFileNotFound;
    }
    uint32_t Number(const VnString& name) {
        VnRegValue value;
        if (!key_.Get() || VnPlatform().Registry().QueryValue(key_.Get(), name, value) != 0) return 0;
        return value.type == vnwin::kRegDword ? uint32_t(value.number) : 0;
    }

private:
    VnScopedRegKey key_;
};

VnString StartsKeyOf(const VnString& fileName) { return VnString(kCompanionStartsKey) + u"\\" + fileName; }

VnString StateKeyOf(std::u16string_view subKey) {
    VnString path = kCompanionStateKey;
    if (!subKey.empty()) path += VnString(u"\\") + subKey;
    return path;
}
}  // namespace

uint32_t RecordCompanionStart(const VnString& fileName, const VnString& parameters) {
    EditedKey key(StartsKeyOf(fileName));
    uint32_t number = key.Number(VN_LIT(u"Start Count")) + 1;
    key.Set(VN_LIT(u"Command Line"), VnRegValue::String(parameters));
    key.Set(VN_LIT(u"Start Count"), VnRegValue::Dword(number));
    key.Set(VnString::Format(u"Command Line (%u)", number), VnRegValue::String(parameters));
    return number;
}

void RecordCompanionExit(const VnString& fileName, uint32_t startNumber, uint32_t exitCode) {
    EditedKey key(StartsKeyOf(fileName));
    key.Set(VnString::Format(u"Exit Code (%u)", startNumber), VnRegValue::Dword(exitCode));
}

bool SetCompanionState(std::u16string_view subKey, const VnString& name, const VnString& text) {
    EditedKey key(StateKeyOf(subKey));
    return key.Set(name, VnRegValue::String(text));
}

bool DeleteCompanionState(std::u16string_view subKey, const VnString& name) {
    EditedKey key(StateKeyOf(subKey));
    return key.Delete(name);
}
