#include "CompanionRecord.h"

#include "VnPlatform.h"

namespace {
// An HKEY_CURRENT_USER key opened for editing, created when missing; closed at the end of the scope.
class EditedKey {
public:
    explicit EditedKey(const VnString& path) {
        if (VnPlatform().Registry().CreateKey(VnRegRoot::CurrentUser, path, vnwin::kKeyReadWrite, key_) != 0)
            key_ = 0;
    }
    ~EditedKey() {
        if (key_) VnPlatform().Registry().CloseKey(key_);
    }
    EditedKey(const EditedKey&) = delete;
    EditedKey& operator=(const EditedKey&) = delete;

    bool IsOpen() const { return key_ != 0; }
    bool Set(const VnString& name, const VnRegValue& value) {
        return key_ && VnPlatform().Registry().SetValue(key_, name, value) == 0;
    }
    bool Delete(const VnString& name) {
        if (!key_) return false;
        uint32_t error = VnPlatform().Registry().DeleteValue(key_, name);
        return error == 0 || error == vnwin::kErrorFileNotFound;
    }
    uint32_t Number(const VnString& name) {
        VnRegValue value;
        if (!key_ || VnPlatform().Registry().QueryValue(key_, name, value) != 0) return 0;
        return value.type == vnwin::kRegDword ? uint32_t(value.number) : 0;
    }

private:
    VnRegKey key_ = 0;
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
