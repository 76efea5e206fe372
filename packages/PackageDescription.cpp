#include "PackageDescription.h"

#include "VnXmlDocument.h"

namespace {
bool HasWord(const VnString& list, std::u16string_view word) {
    std::u16string_view rest = list.View();
    while (!rest.empty()) {
        const size_t end = rest.find_first_of(u" \t,;|");
        const std::u16string_view part = rest.substr(0, end);
        if (!part.empty() && VnString::CompareNoCase(part, word) == 0) return true;
        if (end == std::u16string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return false;
}

bool IsTrueText(VnString text) {
    text.Trim();
    return text == u"1" || text.EqualsNoCase(u"true");
}

// "2.0", "20", "2" and "2.0.0"-like texts with every "." removed read as 20 or 2.
bool IsKnownVersion(const VnString& version) {
    VnString digits = version;
    digits.Remove(u'.');
    digits.Trim();
    if (digits.IsEmpty() || digits.FindOneOf(u"0123456789") != 0) return false;
    for (char16_t c : digits.View())
        if (c < u'0' || c > u'9') return false;
    const int32_t value = VnString::ParseInt(digits.View());
    return digits.GetLength() <= 3 && (value == 20 || value == 2);
}

bool ReadFileEntries(VnXmlDocument& document, PackageDescription& description, VnString& error) {
    document.IntoElem();
    while (document.FindElem(u"FileEntry")) {
        if (description.files.GetSize() >= kMaxPackageFileEntries) {
            error = VnString::Format(u"more than %d file entries", kMaxPackageFileEntries);
            return false;
        }
        PackageFileEntry entry;
        entry.file = document.GetAttrib(u"File");
        entry.isDownload = document.GetAttrib(u"FileType").EqualsNoCase(u"URL");
        document.IntoElem();
        while (document.FindElem(u"Action")) {
            if (entry.actions.GetSize() >= kMaxActionsPerFile) {
                error = VnString::Format(u"more than %d actions for \"%s\"", kMaxActionsPerFile, entry.file);
                return false;
            }
            entry.actions.Add(PackageAction{document.GetAttrib(u"Command"), document.GetAttrib(u"Param")});
        }
        document.OutOfElem();
        description.files.Add(std::move(entry));
    }
    document.OutOfElem();
    return true;
}
}  // namespace

bool PackageDescription::HasActionWord(std::u16string_view word) const { return HasWord(actionWords, word); }
bool PackageDescription::HasOption(std::u16string_view word) const { return HasWord(actionOptions, word); }

bool ReadPackageXml(const VnString& text, int32_t packageIndex, PackageDescription& description, VnString& error) {
    description = PackageDescription();
    VnXmlDocument document;
    if (!document.SetDoc(text.View())) {
        error = VnString::Format(u"not a well-formed description: %s", document.GetError());
        return false;
    }
    if (!document.FindElem(u"PMPF")) {
        error = VN_LIT(u"the root element is not \"PMPF\"");
        return false;
    }
    if (!IsKnownVersion(document.GetAttrib(u"version"))) {
        error = VnString::Format(u"format version \"%s\" is not 2.0", document.GetAttrib(u"version"));
        return false;
    }
    document.IntoElem();
    int32_t index = -1;
    while (index < packageIndex && document.FindElem(u"Package")) ++index;
    if (packageIndex < 0 || index != packageIndex) {
        error = VnString::Format(u"no \"Package\" element %d", packageIndex);
        return false;
    }
    description.actionWords = document.GetChildData(u"Action");
    description.actionOptions = document.GetChildData(u"ActionOpt");
    description.name = document.GetChildData(u"Name");
    description.url = document.GetChildData(u"URL");
    description.version = document.GetChildData(u"Version");
    // The per-file entries: an "Actions" element inside the package, else one beside it.
    const uint32_t package = document.GetElemIndex();
    bool found = false;
    document.IntoElem();
    if (document.FindElem(u"Actions")) {
        found = true;
        if (!ReadFileEntries(document, description, error)) return false;
    }
    document.OutOfElem();
    document.SetElemIndex(package);
    if (!found) {
        document.ResetMainPos();
        if (document.FindElem(u"Actions") && !ReadFileEntries(document, description, error)) return false;
    }
    document.ResetPos();
    description.hasFileActions = document.FindElem(u"/*/Package/HasActions") && IsTrueText(document.GetData());
    return true;
}

bool ReadPackageIni(const PackageIniLookup& lookup, PackageDescription& description, VnString& error) {
    description = PackageDescription();
    const VnString package = VN_LIT(u"Package"), action = VN_LIT(u"Action");
    description.actionWords = lookup(package, VN_LIT(u"Action"));
    description.actionOptions = lookup(package, VN_LIT(u"ActionOpt"));
    description.name = lookup(package, VN_LIT(u"Name"));
    description.url = lookup(package, VN_LIT(u"Url"));
    description.version = lookup(package, VN_LIT(u"Version"));
    if (description.actionWords.IsEmpty() && description.name.IsEmpty()) {
        error = VN_LIT(u"neither XML nor an INI description with a \"Package\" section");
        return false;
    }
    for (int32_t number = 1;; ++number) {
        const VnString key = VnString::Format(u"File%d", number);
        VnString file = lookup(action, key);
        if (file.IsEmpty()) break;
        if (number > kMaxPackageFileEntries) {
            error = VnString::Format(u"more than %d file entries", kMaxPackageFileEntries);
            return false;
        }
        PackageFileEntry entry;
        entry.isDownload = file.Contains(u"URL");
        entry.file = file;
        for (int32_t actionNumber = 1;; ++actionNumber) {
            VnString value = lookup(action, VnString::Format(u"%sAction%d", key, actionNumber));
            if (value.IsEmpty()) break;
            if (actionNumber > kMaxActionsPerFile) {
                error = VnString::Format(u"more than %d actions for \"%s\"", kMaxActionsPerFile, file);
                return false;
            }
            const int32_t blank = value.Find(u' ');
            entry.actions.Add(blank < 0 ? PackageAction{value, VnString()}
                                        : PackageAction{value.Left(blank), value.Mid(blank + 1)});
        }
        description.files.Add(std::move(entry));
    }
    description.hasFileActions = !description.files.IsEmpty();
    return true;
}
