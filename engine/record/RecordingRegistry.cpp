// The registry as the recorder sees it: every open key is remembered by its
// root, view and path, so that a value written through a handle is recorded
// with the full place it landed in.
#include "InstallRecorder.h"
#include "InstallRecorderParts.h"

namespace {

struct KeyPlace {
    VnRegRoot root = VnRegRoot::LocalMachine;
    uint32_t view = 0;
    VnString path;
};

constexpr uint32_t kViewBits = vnwin::kKeyWow64_32Key | vnwin::kKeyWow64_64Key;

VnString JoinKey(const VnString& parent, const VnString& sub) {
    VnString child = sub;
    child.Trim(u'\\');
    if (parent.IsEmpty()) return child;
    return child.IsEmpty() ? parent : parent + u"\\" + child;
}

class RecordingRegistry : public IVnRegistry {
public:
    RecordingRegistry(IVnRegistry& inner, CInstallRecorder& recorder) : inner_(inner), recorder_(recorder) {}

    uint32_t OpenKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key) override {
        uint32_t error = inner_.OpenKey(root, subKey, access, key);
        if (!error) places_[key] = {root, access & kViewBits, JoinKey(VnString(), subKey)};
        return error;
    }
    uint32_t OpenSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key) override {
        uint32_t error = inner_.OpenSubKey(parent, subKey, access, key);
        KeyPlace place;
        if (!error && PlaceBelow(parent, subKey, access, place)) places_[key] = place;
        return error;
    }
    uint32_t CreateKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key,
                       bool* created) override {
        const KeyPlace place{root, access & kViewBits, JoinKey(VnString(), subKey)};
        const int32_t firstMissing = FirstMissingLevel(place);
        bool made = false;
        uint32_t error = inner_.CreateKey(root, subKey, access, key, &made);
        if (created) *created = made;
        if (error) return error;
        places_[key] = place;
        if (made) NoteCreated(place, firstMissing);
        return error;
    }
    uint32_t CreateSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key,
                          bool* created) override {
        KeyPlace place;
        const bool known = PlaceBelow(parent, subKey, access, place);
        const int32_t firstMissing = known ? FirstMissingLevel(place) : -1;
        bool made = false;
        uint32_t error = inner_.CreateSubKey(parent, subKey, access, key, &made);
        if (created) *created = made;
        if (error || !known) return error;
        places_[key] = place;
        if (made) NoteCreated(place, firstMissing);
        return error;
    }
    void CloseKey(VnRegKey key) override {
        places_.erase(key);
        inner_.CloseKey(key);
    }
    uint32_t QueryValue(VnRegKey key, const VnString& name, VnRegValue& value) override {
        return inner_.QueryValue(key, name, value);
    }
    uint32_t SetValue(VnRegKey key, const VnString& name, const VnRegValue& value) override {
        const RecordedValueData before = Current(key, name);
        uint32_t error = inner_.SetValue(key, name, value);
        if (!error) NoteValue(key, name, before);
        return error;
    }
    uint32_t DeleteValue(VnRegKey key, const VnString& name) override {
        const RecordedValueData before = Current(key, name);
        uint32_t error = inner_.DeleteValue(key, name);
        if (!error && before.present) NoteValue(key, name, before);
        return error;
    }
    uint32_t QueryRawValue(VnRegKey key, const VnString& name, uint32_t& type,
                           std::basic_string<uint8_t>& data) override {
        return inner_.QueryRawValue(key, name, type, data);
    }
    uint32_t SetRawValue(VnRegKey key, const VnString& name, uint32_t type,
                         const std::basic_string<uint8_t>& data) override {
        const RecordedValueData before = Current(key, name);
        uint32_t error = inner_.SetRawValue(key, name, type, data);
        if (!error) NoteValue(key, name, before);
        return error;
    }
    uint32_t DeleteKey(VnRegKey parent, const VnString& subKey, uint32_t viewAccess) override {
        return inner_.DeleteKey(parent, subKey, viewAccess);
    }
    uint32_t DeleteTree(VnRegKey parent, const VnString& subKey, uint32_t viewAccess) override {
        return inner_.DeleteTree(parent, subKey, viewAccess);
    }
    uint32_t EnumKey(VnRegKey key, uint32_t index, VnString& name) override { return inner_.EnumKey(key, index, name); }
    uint32_t EnumValue(VnRegKey key, uint32_t index, VnString& name, VnRegValue* value) override {
        return inner_.EnumValue(key, index, name, value);
    }

private:
    // The place of `subKey` below the open key `parent`; false for a handle never seen opened.
    bool PlaceBelow(VnRegKey parent, const VnString& subKey, uint32_t access, KeyPlace& place) {
        KeyPlace parentPlace;
        auto found = places_.find(parent);
        if (found != places_.end()) parentPlace = found->second;
        else if (parent >= uintptr_t(VnRegRoot::ClassesRoot) && parent <= uintptr_t(VnRegRoot::Users))
            parentPlace = {VnRegRoot(parent), 0, VnString()};  // a predefined root used as a handle
        else return false;
        place = {parentPlace.root, parentPlace.view, JoinKey(parentPlace.path, subKey)};
        if (access & kViewBits) place.view = access & kViewBits;
        return true;
    }
    // The number of path parts of the shortest missing key on the way to
    // `place` (creating "a\b\c" where only "a" exists makes "a\b" too), or -1.
    int32_t FirstMissingLevel(const KeyPlace& place) {
        if (recorder_.IsExcludedKey(place.root, place.path)) return -1;
        const VnStringArray parts = VnStringArray::Split(place.path.View(), u"\\");
        VnString path;
        for (int32_t i = 0; i < parts.GetSize(); ++i) {
            if (i) path += u"\\";
            path += parts[i];
            VnRegKey probe = 0;
            if (inner_.OpenKey(place.root, path, vnwin::kKeyRead | place.view, probe) != vnwin::kErrorSuccess)
                return i + 1;
            inner_.CloseKey(probe);
        }
        return -1;
    }
    // Records the keys from the first missing level down to `place`.
    void NoteCreated(const KeyPlace& place, int32_t firstMissing) {
        if (recorder_.IsExcludedKey(place.root, place.path)) return;
        const VnStringArray parts = VnStringArray::Split(place.path.View(), u"\\");
        if (firstMissing < 1) firstMissing = parts.GetSize();
        VnString path;
        for (int32_t i = 0; i < parts.GetSize(); ++i) {
            if (i) path += u"\\";
            path += parts[i];
            if (i + 1 >= firstMissing) recorder_.NoteKey(place.root, place.view, path);
        }
    }
    RecordedValueData Current(VnRegKey key, const VnString& name) {
        RecordedValueData data;
        auto found = places_.find(key);
        if (found == places_.end() || recorder_.IsExcludedKey(found->second.root, found->second.path)) return data;
        data.present = inner_.QueryRawValue(key, name, data.type, data.bytes) == vnwin::kErrorSuccess;
        if (!data.present) data = {};
        return data;
    }
    void NoteValue(VnRegKey key, const VnString& name, const RecordedValueData& before) {
        auto found = places_.find(key);
        if (found == places_.end()) return;
        const KeyPlace& place = found->second;
        if (recorder_.IsExcludedKey(place.root, place.path)) return;
        recorder_.NoteValue(place.root, place.view, place.path, name, before, Current(key, name));
    }

    IVnRegistry& inner_;
    CInstallRecorder& recorder_;
    std::map<VnRegKey, KeyPlace> places_;
};

}  // namespace

std::unique_ptr<IVnRegistry> MakeRecordingRegistry(IVnRegistry& inner, CInstallRecorder& recorder) {
    return std::make_unique<RecordingRegistry>(inner, recorder);
}
