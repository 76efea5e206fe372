// Reading and writing the stored text of a filename.
#include "VnFilename.h"

#include "VnXmlDocument.h"

namespace {

constexpr char16_t kXmlFormPrefix[] = u"<XMLFN version=";

}  // namespace

VnFilename VnFilename::FromText(const VnString& text) {
    VnFilename filename;
    filename.SetText(text);
    return filename;
}

bool VnFilename::LooksLikeXmlForm(const VnString& text) { return text.StartsWithNoCase(kXmlFormPrefix); }

void VnFilename::SetText(const VnString& storedText) {
    const VnString text = VnPropertyMap::TextBeforeNul(storedText);
    if (!LooksLikeXmlForm(text) || !ReadXmlForm(text)) {
        path_ = text;
        fields_.RemoveAll();
    }
    SplitPostExtensionData();
}

void VnFilename::SplitPostExtensionData() {
    if (IsUrl(path_)) return;
    int32_t dot = path_.ReverseFind(u'.');
    if (dot < 0) return;
    int32_t semicolon = path_.Find(u';', dot + 1);
    if (semicolon < 0) return;
    int32_t extensionLength = semicolon - dot - 1;
    if (extensionLength < 1 || extensionLength > kMaxExtensionLength) return;
    fields_.SetString(kPostExtensionDataName, path_.Mid(semicolon + 1));
    path_.Truncate(semicolon);
}

VnString VnFilename::GetText() const {
    if (!HasFields() && !LooksLikeXmlForm(path_)) return path_;
    VnString items;
    VnPropertyMap::WriteItem(items, kPathItemName, path_);
    if (fields_.Exists(kPathItemName)) {
        // A field of the path's name would be read back as the path.
        VnPropertyMap fields = fields_;
        fields.RemoveKey(kPathItemName);
        fields.WriteItems(items);
    } else {
        fields_.WriteItems(items);
    }
    return VnPropertyMap::WrapDocument(kRootName, kVersion, items);
}

bool VnFilename::ReadXmlForm(const VnString& text) {
    VnXmlDocument document;
    if (!document.SetDoc(text) || !document.FindElem()) return false;
    if (document.GetTagName() != kRootName || document.GetAttrib(u"version") != kVersion) return false;
    // The items form one property map whose "Filename" entry is the path.
    VnPropertyMap items;
    items.ReadItems(document);
    path_ = items.GetString(kPathItemName);
    items.RemoveKey(kPathItemName);
    fields_ = items;
    return true;
}
