#include "AssociationWriter.h"

#include <iterator>

#include "AssociationValues.h"

namespace {

constexpr char16_t kFileExtsKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr char16_t kMimeDatabaseKey[] = u"Mime\\Database\\Content Type\\";
constexpr char16_t kFileNameForbidden[] = u"/:*?\"<>|";

// The feed and podcast types the launcher subscribes to.
constexpr const char16_t* kSubscribeExtensions[] = {u".feed", u".itpc", u".opml", u".pcast",
                                                    u".podcast", u".rss", u".xml"};

VnString WithDot(const VnString& extension) {
    return extension.StartsWith(u".") ? extension : VnString(u".") + extension;
}

}  // namespace

VnString AssociationBackupValueName(const VnString& progIdBase, const VnString& valueName) {
    VnString name = progIdBase + (valueName.IsEmpty() ? VnString(u".Default.BAK") : u"." + valueName + u".BAK");
    name.Remove(u' ');
    return name;
}

bool IsUsableAssociationKeyName(const VnString& name, std::u16string_view forbidden) {
    constexpr int32_t kLongestKeyName = 255;
    if (name.IsEmpty() || name.GetLength() > kLongestKeyName) return false;
    for (char16_t c : name.View())
        if (c < 0x20 || c == u'\\' || forbidden.find(c) != std::u16string_view::npos) return false;
    return true;
}

bool CAssociationWriter::IsOurs(const VnString& progId) const {
    const int32_t dot = progId.ReverseFind(u'.');
    const VnString base = dot < 0 ? progId : progId.Left(dot);
    return !product_.progIdBase.IsEmpty() && base.EqualsNoCase(product_.progIdBase);
}

VnString CAssociationWriter::GetProgIdForExtension(const VnString& extension) const {
    const VnString& base = product_.progIdBase;
    if (extension.EqualsNoCase(u".mpl")) return base + u".Playlist";
    if (extension.EqualsNoCase(u".wsz")) return base + u".Pack";
    for (const char16_t* feed : kSubscribeExtensions)
        if (extension.EqualsNoCase(feed)) return base + u".Subscribe";
    if (extension.EqualsNoCase(product_.productExtension)) return base + u".Mime";
    return base + u".File";
}

void CAssociationWriter::ReplaceKeepingBackup(VnRegKey key, const VnString& name, const VnString& wanted) const {
    IVnRegistry& registry = VnPlatform().Registry();
    StoredAssociationValue current;
    if (ReadStoredAssociationValue(key, name, current) && current.NeedsBackup(wanted, *this))
        current.SaveAsBackup(key, AssociationBackupValueName(product_.progIdBase, name));
    registry.SetValue(key, name, VnRegValue::String(wanted));
}

void CAssociationWriter::RegisterProductTypes() {
    RegisterExtension(product_.productExtension, VnString());
    for (const VnString& type : VnStringArray::Split(product_.mimeTypes, u";"))
        if (!type.IsEmpty()) RegisterMimeType(type, VnString());
    for (const VnString& protocol : VnStringArray::Split(product_.protocols, u";"))
        if (!protocol.IsEmpty()) RegisterProtocol(protocol, VN_LIT(u"/Protocol"));
}

bool CAssociationWriter::RegisterExtension(const VnString& extensionText, const VnString& progIdText) {
    const VnString extension = WithDot(extensionText);
    if (!IsUsableAssociationKeyName(extension, kFileNameForbidden) || extension.GetLength() < 2) return false;
    for (const VnString& type : catalogue_.GetExtensionMimeTypes(extension, false)) RegisterMimeType(type, extension);
    if (extension.EqualsNoCase(u".dat")) return false;
    const VnString progId = progIdText.IsEmpty() ? GetProgIdForExtension(extension) : progIdText;

    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.CreateKey(VnRegRoot::ClassesRoot, extension, vnwin::kKeyReadWrite, key) != vnwin::kErrorSuccess)
        return false;
    ReplaceKeepingBackup(key, VnString(), progId);
    ReplaceKeepingBackup(key, VN_LIT(u"PerceivedType"), VnString());
    ReplaceKeepingBackup(key, VN_LIT(u"Content Type"), VnString());
    registry.CloseKey(key);

    // The user's own choice in Explorer wins over the class key: follow it
    // only where the user has made one (the key exists).
    VnRegKey userChoice = 0;
    if (registry.OpenKey(VnRegRoot::CurrentUser, kFileExtsKey + extension, vnwin::kKeyReadWrite, userChoice) ==
        vnwin::kErrorSuccess) {
        ReplaceKeepingBackup(userChoice, VN_LIT(u"Progid"), progId);
        registry.CloseKey(userChoice);
    }
    changed_ = true;
    return true;
}

bool CAssociationWriter::RegisterMimeType(const VnString& mimeType, const VnString& extensionText) {
    if (!mimeType.Contains(u"/") || !IsUsableAssociationKeyName(mimeType, u"")) return false;
    VnString extension = extensionText.IsEmpty() ? product_.productExtension : extensionText;
    extension.MakeLower();

    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.CreateKey(VnRegRoot::ClassesRoot, kMimeDatabaseKey + mimeType, vnwin::kKeyReadWrite, key) !=
        vnwin::kErrorSuccess)
        return false;
    // A CLSID would hand the type to a component instead of the extension.
    StoredAssociationValue clsid;
    if (ReadStoredAssociationValue(key, VN_LIT(u"CLSID"), clsid)) {
        if (clsid.NeedsBackup(VnString(), *this))
            clsid.SaveAsBackup(key, AssociationBackupValueName(product_.progIdBase, VN_LIT(u"CLSID")));
        registry.DeleteValue(key, VN_LIT(u"CLSID"));
    }
    ReplaceKeepingBackup(key, VN_LIT(u"Extension"), extension);
    registry.CloseKey(key);
    return true;
}

bool CAssociationWriter::RegisterProtocol(const VnString& protocol, const VnString& commandArgument) {
    const int32_t separator = protocol.Find(u"://");
    const VnString name = separator >= 0 ? protocol.Left(separator) : protocol;
    if (!IsUsableAssociationKeyName(name, kFileNameForbidden)) return false;
    const VnString& program = product_.launcherPath.IsEmpty() ? product_.executablePath : product_.launcherPath;
    const VnString command = u"\"" + program + u"\" " + commandArgument + u" \"%L\"";

    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.CreateKey(VnRegRoot::ClassesRoot, name, vnwin::kKeyReadWrite, key) == vnwin::kErrorSuccess) {
        ReplaceKeepingBackup(key, VnString(), u"URL: " + name + u" Protocol");
        ReplaceKeepingBackup(key, VN_LIT(u"URL Protocol"), VnString());
        registry.CloseKey(key);
    }
    if (registry.CreateKey(VnRegRoot::ClassesRoot, name + u"\\shell\\open\\command\\", vnwin::kKeyReadWrite, key) ==
        vnwin::kErrorSuccess) {
        ReplaceKeepingBackup(key, VnString(), command);
        registry.CloseKey(key);
    }
    return true;
}

bool CAssociationWriter::IsOurDefault(VnRegRoot root, const VnString& keyPath, const VnString& name) const {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.OpenKey(root, keyPath, vnwin::kKeyRead, key) != vnwin::kErrorSuccess) return false;
    const VnString text = RegistryValueText(key, name);
    registry.CloseKey(key);
    return !text.IsEmpty() && IsOurs(text);
}

bool CAssociationWriter::IsAssociatedWithUs(const VnString& extension) const {
    return IsAssociatedWithUs(extension, nullptr);
}

std::vector<bool> CAssociationWriter::AreAssociatedWithUs(const VnStringArray& extensions) const {
    std::unordered_set<std::u16string> userChoices;
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    const std::u16string_view fileExts(kFileExtsKey, std::size(kFileExtsKey) - 2);  // without the last "\"
    if (registry.OpenKey(VnRegRoot::CurrentUser, VnString(fileExts), vnwin::kKeyRead, key) == vnwin::kErrorSuccess) {
        VnString name;
        for (uint32_t index = 0; registry.EnumKey(key, index, name) == vnwin::kErrorSuccess; ++index) {
            name.MakeLower();
            userChoices.insert(std::u16string(name.View()));
        }
        registry.CloseKey(key);
    }
    std::vector<bool> answers;
    answers.reserve(size_t(extensions.GetSize()));
    for (const VnString& extension : extensions) answers.push_back(IsAssociatedWithUs(extension, &userChoices));
    return answers;
}

bool CAssociationWriter::IsAssociatedWithUs(const VnString& extensionText,
                                            const std::unordered_set<std::u16string>* userChoices) const {
    if (extensionText.EqualsNoCase(u"cdaudiodisc") || extensionText.EqualsNoCase(u"dvdvideodisc")) {
        if (product_.launcherPath.IsEmpty()) return false;
        IVnRegistry& registry = VnPlatform().Registry();
        VnRegKey key = 0;
        if (registry.OpenKey(VnRegRoot::ClassesRoot, extensionText + u"\\shell\\play\\command", vnwin::kKeyRead,
                             key) != vnwin::kErrorSuccess)
            return false;
        const VnString command = RegistryValueText(key, VnString());
        registry.CloseKey(key);
        return command.ContainsNoCase(product_.launcherPath);
    }
    const VnString extension = extensionText.Contains(u".") ? extensionText : u"." + extensionText;
    if (!IsUsableAssociationKeyName(extension, u"")) return false;
    if (IsOurDefault(VnRegRoot::ClassesRoot, extension, VnString())) return true;
    if (userChoices) {
        VnString folded = extension;
        folded.MakeLower();
        if (!userChoices->count(std::u16string(folded.View()))) return false;
    }
    return IsOurDefault(VnRegRoot::CurrentUser, kFileExtsKey + extension, VN_LIT(u"Progid"));
}
