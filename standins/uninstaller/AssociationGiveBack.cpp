#include "AssociationGiveBack.h"

#include <map>
#include <vector>

#include "VnPlatform.h"
#include "VnRegKeyCloser.h"

namespace {

constexpr char16_t kContentTypes[] = u"Mime\\Database\\Content Type";
constexpr char16_t kFileExts[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

enum class KeyKind { Extension, ExplorerChoice, MimeType, Other };

struct Backup {
    VnString valueName;  // the backup value
    VnString text;       // what it keeps, as text (for telling whether it names us)
    uint32_t type = vnwin::kRegSz;
    std::basic_string<uint8_t> data{};  // what it keeps, whole: a value of any type is saved with its type
};

// The backups of one value, by the value's name in lower case.
struct KeptValue {
    VnString name;  // the value's own name ("" for the unnamed value)
    std::vector<Backup> backups;
};
using KeptValues = std::map<VnString, KeptValue>;

VnString ReadText(IVnRegistry& registry, VnRegKey key, const VnString& name, bool* present = nullptr) {
    VnRegValue value;
    const bool found = registry.QueryValue(key, name, value) == vnwin::kErrorSuccess;
    if (present) *present = found;
    if (!found) return VnString();
    if (value.type == vnwin::kRegSz || value.type == vnwin::kRegExpandSz) return value.text;
    if (value.type == vnwin::kRegDword) return VnString::FromInt(int32_t(value.number));
    return VnString();
}

// The value a backup keeps: "Default" is the unnamed value; blanks were
// removed from the names that have them.
VnString BackedUpValueName(const VnString& part) {
    if (part.EqualsNoCase(u"Default")) return VnString();
    if (part.EqualsNoCase(u"ContentType")) return VN_LIT(u"Content Type");
    if (part.EqualsNoCase(u"URLProtocol")) return VN_LIT(u"URL Protocol");
    return part;
}

class GiveBack {
public:
    explicit GiveBack(const FileTypeGiveBack& product) : product_(product), registry_(VnPlatform().Registry()) {}

    FileTypeGiveBackResult Run() {
        // MIME types first: whether one is ours depends on its extension's owner before that is given back.
        const VnString classes = VN_LIT(u"Software\\Classes");
        for (VnRegRoot root : {VnRegRoot::LocalMachine, VnRegRoot::CurrentUser}) {
            const VnString mime = classes + u"\\" + kContentTypes;
            for (const VnString& name : SubKeys(root, mime)) ScanKey(root, mime + u"\\" + name, KeyKind::MimeType, name);
        }
        for (VnRegRoot root : {VnRegRoot::LocalMachine, VnRegRoot::CurrentUser}) {
            for (const VnString& name : SubKeys(root, classes)) {
                const VnString path = classes + u"\\" + name;
                if (name.StartsWith(u".")) ScanKey(root, path, KeyKind::Extension, name);
                else ScanKey(root, path, KeyKind::Other, name);
                ScanKey(root, path + u"\\shell\\open\\command", KeyKind::Other, name);
            }
        }
        for (const VnString& name : SubKeys(VnRegRoot::CurrentUser, kFileExts))
            ScanKey(VnRegRoot::CurrentUser, VnString(kFileExts) + u"\\" + name, KeyKind::ExplorerChoice, name);
        return std::move(result_);
    }

private:
    std::vector<VnString> SubKeys(VnRegRoot root, const VnString& path) {
        std::vector<VnString> names;
        VnRegKey key = 0;
        if (registry_.OpenKey(root, path, vnwin::kKeyRead, key) != vnwin::kErrorSuccess) return names;
        VnRegKeyCloser closer(key);
        VnString name;
        for (uint32_t i = 0; registry_.EnumKey(key, i, name) == vnwin::kErrorSuccess; ++i) names.push_back(name);
        return names;
    }

    bool IsOurs(const VnString& text) const {
        return !text.IsEmpty() && text.StartsWithNoCase(product_.familyPrefix.View());
    }
    bool NamesInstallFolder(const VnString& command) const {
        VnString folder = product_.installFolder;
        folder.TrimRight(u'\\');
        return !folder.IsEmpty() && command.ContainsNoCase(folder.View());
    }

    // Whether the key still names the product (read before anything changes).
    bool StillOurs(VnRegRoot root, const VnString& path, VnRegKey key, KeyKind kind) {
        switch (kind) {
            case KeyKind::Extension: {
                const VnString progId = ReadText(registry_, key, VnString());
                return progId.IsEmpty() || IsOurs(progId);
            }
            case KeyKind::ExplorerChoice: {
                const VnString progId = ReadText(registry_, key, VN_LIT(u"Progid"));
                return progId.IsEmpty() || IsOurs(progId);
            }
            case KeyKind::MimeType: {
                const VnString extension = ReadText(registry_, key, VN_LIT(u"Extension"));
                if (extension.IsEmpty() || extension.EqualsNoCase(product_.productExtension)) return true;
                VnRegKey extensionKey = 0;
                if (registry_.OpenKey(VnRegRoot::ClassesRoot, extension, vnwin::kKeyRead, extensionKey)) return false;
                VnRegKeyCloser closer(extensionKey);
                return IsOurs(ReadText(registry_, extensionKey, VnString()));
            }
            case KeyKind::Other: {
                // A protocol (or its command key): ours while its command starts our program.
                VnString command = ReadText(registry_, key, VnString());
                if (!path.EndsWithNoCase(u"\\command")) {
                    VnRegKey commandKey = 0;
                    if (registry_.OpenKey(root, path + u"\\shell\\open\\command", vnwin::kKeyRead, commandKey)) return true;
                    VnRegKeyCloser closer(commandKey);
                    command = ReadText(registry_, commandKey, VnString());
                }
                return command.IsEmpty() || NamesInstallFolder(command);
            }
        }
        return false;
    }

    void ScanKey(VnRegRoot root, const VnString& path, KeyKind kind, const VnString& shownName) {
        if (GiveBackKey(root, path, kind, shownName)) DeleteWhenEmpty(root, path, kind);
    }

    // True when the key was given back.
    bool GiveBackKey(VnRegRoot root, const VnString& path, KeyKind kind, const VnString& shownName) {
        VnRegKey key = 0;
        if (registry_.OpenKey(root, path, vnwin::kKeyReadWrite, key) != vnwin::kErrorSuccess) return false;
        VnRegKeyCloser closer(key);
        KeptValues kept;
        VnString name;
        VnRegValue value;
        for (uint32_t i = 0; registry_.EnumValue(key, i, name, &value) == vnwin::kErrorSuccess; ++i) {
            if (!name.StartsWithNoCase(product_.familyPrefix.View()) || !name.EndsWithNoCase(u".BAK")) continue;
            const VnString stem = name.Left(name.GetLength() - 4);
            const int32_t dot = stem.ReverseFind(u'.');
            if (dot < product_.familyPrefix.GetLength()) continue;
            const VnString target = BackedUpValueName(stem.Mid(dot + 1));
            VnString lower = target;
            lower.MakeLower();
            KeptValue& entry = kept[lower];
            entry.name = target;
            Backup backup{name, value.type == vnwin::kRegSz || value.type == vnwin::kRegExpandSz ? value.text : VnString()};
            registry_.QueryRawValue(key, name, backup.type, backup.data);
            entry.backups.push_back(std::move(backup));
        }
        // A MIME type that holds nothing but its extension, one of ours, was
        // made by the writer where no type stood: it goes.
        const bool onlyOurExtension = kind == KeyKind::MimeType && kept.empty() && OnlyValue(key, u"Extension");
        const bool ownerValueOurs = kind == KeyKind::Extension ? IsOurs(ReadText(registry_, key, VnString()))
                                    : kind == KeyKind::ExplorerChoice
                                        ? IsOurs(ReadText(registry_, key, VN_LIT(u"Progid")))
                                        : onlyOurExtension;
        if (kept.empty() && !ownerValueOurs) return false;
        if (!StillOurs(root, path, key, kind)) {
            ++result_.leftAlone;
            result_.log.Add(VnString::Format(u"Left alone (now another program's): %s", path));
            return false;
        }
        for (const auto& [lower, entry] : kept) {
            const Backup* earlier = nullptr;
            for (const Backup& backup : entry.backups)
                if (!earlier && !IsOurs(backup.text)) earlier = &backup;
            if (earlier) registry_.SetRawValue(key, entry.name, earlier->type, earlier->data);
            else registry_.DeleteValue(key, entry.name);
            for (const Backup& backup : entry.backups) registry_.DeleteValue(key, backup.valueName);
        }
        ClearOwnValuesWithoutBackup(key, kind, kept);
        ++result_.givenBack;
        result_.log.Add(VnString::Format(u"Given back: %s (%s)", path, shownName));
        return true;
    }

    bool OnlyValue(VnRegKey key, const char16_t* name) {
        VnString first, second;
        return registry_.EnumValue(key, 0, first) == vnwin::kErrorSuccess && first.EqualsNoCase(name) &&
               registry_.EnumValue(key, 1, second) == vnwin::kErrorNoMoreItems &&
               registry_.EnumKey(key, 0, second) == vnwin::kErrorNoMoreItems;
    }

    // Values the writer set where nothing stood before: our ProgID as the
    // owner, and the empty perceived and content types it writes beside it.
    void ClearOwnValuesWithoutBackup(VnRegKey key, KeyKind kind, const KeptValues& backups) {
        if (kind == KeyKind::Extension) {
            if (!backups.count(VnString()) && IsOurs(ReadText(registry_, key, VnString())))
                registry_.DeleteValue(key, VnString());
            for (const char16_t* name : {u"PerceivedType", u"Content Type"}) {
                VnString lower = name;
                lower.MakeLower();
                bool present = false;
                if (!backups.count(lower) && ReadText(registry_, key, name, &present).IsEmpty() && present)
                    registry_.DeleteValue(key, name);
            }
        } else if (kind == KeyKind::MimeType && backups.empty()) {
            registry_.DeleteValue(key, VN_LIT(u"Extension"));
        } else if (kind == KeyKind::ExplorerChoice) {
            if (!backups.count(VN_LIT(u"progid")) && IsOurs(ReadText(registry_, key, VN_LIT(u"Progid"))))
                registry_.DeleteValue(key, VN_LIT(u"Progid"));
        }
    }

    void DeleteWhenEmpty(VnRegRoot root, const VnString& path, KeyKind kind) {
        if (kind != KeyKind::Extension && kind != KeyKind::MimeType) return;
        VnRegKey key = 0;
        if (registry_.OpenKey(root, path, vnwin::kKeyRead, key) != vnwin::kErrorSuccess) return;
        VnString name;
        const bool empty = registry_.EnumKey(key, 0, name) == vnwin::kErrorNoMoreItems &&
                           registry_.EnumValue(key, 0, name) == vnwin::kErrorNoMoreItems;
        registry_.CloseKey(key);
        if (!empty) return;
        const int32_t cut = path.ReverseFind(u'\\');
        VnRegKey parent = 0;
        if (registry_.OpenKey(root, path.Left(cut), vnwin::kKeyReadWrite, parent) != vnwin::kErrorSuccess) return;
        registry_.DeleteKey(parent, path.Mid(cut + 1));
        registry_.CloseKey(parent);
    }

    const FileTypeGiveBack& product_;
    IVnRegistry& registry_;
    FileTypeGiveBackResult result_;
};

}  // namespace

FileTypeGiveBackResult GiveBackFileTypes(const FileTypeGiveBack& product) {
    if (product.familyPrefix.GetLength() < 2) return {};
    return GiveBack(product).Run();
}
