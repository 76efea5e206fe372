#include "FinalizeList.h"

#include <algorithm>

#include "CompanionFiles.h"
#include "CompanionRegistration.h"
#include "VnArray.h"
#include "VnPlatform.h"

namespace {
constexpr uint32_t kErrorInvalidData = 13;
constexpr char16_t kDeleteAction[] = u"_DELETEFILE|";
constexpr char16_t kRegisterAction[] = u"_REGISTERFILE|";

struct FinalizeEntry {
    VnString name;
    VnString data;
    bool readable = false;  // a text value
    VnString kind;          // the value name without its counter
    int32_t counter = 0;
    bool IsRegistration() const { return data.StartsWith(kRegisterAction); }
};

FinalizeEntry ReadEntry(const VnString& name, const VnRegValue& value) {
    FinalizeEntry entry;
    entry.name = name;
    entry.readable = value.type == vnwin::kRegSz || value.type == vnwin::kRegExpandSz;
    entry.data = entry.readable ? value.text : VnString();
    int32_t open = name.ReverseFind(u'(');
    if (open > 0 && name.EndsWith(u")")) {
        entry.kind = name.Left(open);
        entry.kind.TrimRight();
        entry.counter = VnString::ParseInt(name.View().substr(size_t(open + 1)));
    } else {
        entry.kind = name;
    }
    return entry;
}

// Registrations after the file operations; within a kind, counter order in the
// places that kind holds (Windows enumerates values in the order they were
// written, Wine sorts their names, so "(10)" would come before "(2)").
void OrderEntries(VnCoreArray<FinalizeEntry>& entries) {
    std::vector<FinalizeEntry>& items = entries.Items();
    std::stable_partition(items.begin(), items.end(), [](const FinalizeEntry& e) { return !e.IsRegistration(); });
    std::vector<bool> placed(items.size(), false);
    for (size_t first = 0; first < items.size(); ++first) {
        if (placed[first]) continue;
        std::vector<size_t> places;
        for (size_t i = first; i < items.size(); ++i)
            if (!placed[i] && items[i].IsRegistration() == items[first].IsRegistration() &&
                items[i].kind.EqualsNoCase(items[first].kind))
                places.push_back(i);
        std::vector<FinalizeEntry> sameKind;
        for (size_t place : places) sameKind.push_back(items[place]);
        std::stable_sort(sameKind.begin(), sameKind.end(),
                         [](const FinalizeEntry& a, const FinalizeEntry& b) { return a.counter < b.counter; });
        for (size_t i = 0; i < places.size(); ++i) {
            items[places[i]] = sameKind[i];
            placed[places[i]] = true;
        }
    }
}

void ClearReadOnly(const VnString& path) {
    IVnFiles& files = VnPlatform().Files();
    uint32_t attributes = files.GetFileAttributes(path);
    if (attributes != vnwin::kInvalidFileAttributes && (attributes & vnwin::kFileAttributeReadOnly))
        files.SetFileAttributes(path, vnwin::kFileAttributeNormal);
}

void CreateFolderTree(const VnString& folder) {
    if (folder.GetLength() < 3 || CompanionFileExists(folder)) return;
    CreateFolderTree(folder.Left(std::max(folder.ReverseFind(u'\\'), 0)));
    VnPlatform().Files().CreateDirectory(folder);
}

uint32_t InstallStagedFile(const VnString& staged, const VnString& destination) {
    IVnFiles& files = VnPlatform().Files();
    if (!CompanionFileExists(staged)) {
        uint32_t error = files.GetAttributesError(staged);
        return error ? error : vnwin::kErrorFileNotFound;
    }
    CreateFolderTree(destination.Left(std::max(destination.ReverseFind(u'\\'), 0)));
    ClearReadOnly(destination);
    return files.MoveFileEx(staged, destination, vnwin::kMoveFileReplaceExisting | vnwin::kMoveFileCopyAllowed);
}

uint32_t DeleteListedFile(const VnString& path) {
    IVnFiles& files = VnPlatform().Files();
    if (!CompanionFileExists(path)) {
        uint32_t error = files.GetAttributesError(path);
        return error == vnwin::kErrorFileNotFound || error == vnwin::kErrorPathNotFound ? 0 : error;
    }
    ClearReadOnly(path);
    return files.DeleteFile(path);
}

// The kind a value's name gives must be the kind its data has: the installer
// writes nothing else, and a value of a foreign kind is left alone.
bool KindMatchesData(const FinalizeEntry& entry) {
    const bool deletion = entry.data.StartsWith(kDeleteAction);
    const bool registration = entry.IsRegistration();
    if (entry.kind.EqualsNoCase(u"Install File")) return !deletion && !registration;
    if (entry.kind.EqualsNoCase(u"Delete File")) return deletion;
    if (entry.kind.EqualsNoCase(u"Register File")) return registration;
    return false;
}

uint32_t CarryOut(const FinalizeEntry& entry, const StagedPackageInstaller& installPackage) {
    const VnString& data = entry.data;
    int32_t bar = data.Find(u'|');
    if (!entry.readable || bar <= 0 || !KindMatchesData(entry)) return kErrorInvalidData;
    VnString first = data.Left(bar), second = data.Mid(bar + 1);
    if (data.StartsWith(kDeleteAction)) return second.IsEmpty() ? kErrorInvalidData : DeleteListedFile(second);
    if (data.StartsWith(kRegisterAction))
        return second.IsEmpty() ? kErrorInvalidData : RegisterComponentInProcess(second, true);
    if (second.IsEmpty()) return installPackage(first);
    return InstallStagedFile(first, second);
}

bool IsEmptyKey(VnRegKey key) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnString name;
    return registry.EnumValue(key, 0, name) == vnwin::kErrorNoMoreItems &&
           registry.EnumKey(key, 0, name) == vnwin::kErrorNoMoreItems;
}
}  // namespace

uint32_t CarryOutFinalizeList(const VnString& productKeyPath, const StagedPackageInstaller& installPackage) {
    IVnRegistry& registry = VnPlatform().Registry();
    const VnString installerKeyPath = productKeyPath + u"\\Installer";
    VnRegKey installerKey = 0, listKey = 0;
    if (registry.OpenKey(VnRegRoot::CurrentUser, installerKeyPath, vnwin::kKeyReadWrite, installerKey) != 0) return 0;
    if (registry.OpenSubKey(installerKey, VN_LIT(u"Finalize"), vnwin::kKeyReadWrite, listKey) != 0) {
        registry.CloseKey(installerKey);
        return 0;
    }

    VnCoreArray<FinalizeEntry> entries;
    VnString name;
    VnRegValue value;
    for (uint32_t index = 0; registry.EnumValue(listKey, index, name, &value) == 0; ++index)
        entries.Add(ReadEntry(name, value));
    OrderEntries(entries);

    uint32_t firstError = 0;
    for (const FinalizeEntry& entry : entries) {
        uint32_t result = CarryOut(entry, installPackage);
        if (result == 0) registry.DeleteValue(listKey, entry.name);
        else if (firstError == 0) firstError = result;
    }

    bool empty = IsEmptyKey(listKey);
    registry.CloseKey(listKey);
    if (empty) registry.DeleteKey(installerKey, VN_LIT(u"Finalize"));
    registry.CloseKey(installerKey);
    return firstError;
}
