// The property map's XML form and its dump.
#include "VnPropertyMap.h"
#include "VnXmlDocument.h"

namespace {

constexpr char16_t kItemName[] = u"Item";
constexpr char16_t kNameAttrib[] = u"Name";
constexpr char16_t kVersionAttrib[] = u"version";

}  // namespace

VnString VnPropertyMap::SaveXML(const VnString& rootName) const {
    VnString items;
    WriteItems(items);
    return WrapDocument(rootName.IsEmpty() ? VnString(kDefaultRootName) : rootName, DoubleToText(kFormatVersion), items);
}

VnString VnPropertyMap::WrapDocument(const VnString& rootName, const VnString& version, const VnString& items) {
    VnString text;
    text += u"<";
    text += rootName;
    text += u" ";
    text += kVersionAttrib;
    text += u"=\"";
    text += version;
    text += u"\">";
    text += items;
    text += u"</";
    text += rootName;
    text += u">";
    return text;
}

void VnPropertyMap::WriteItem(VnString& out, const VnString& key, const VnString& value) {
    out += u"<";
    out += kItemName;
    out += u" ";
    out += kNameAttrib;
    out += u"=\"";
    out += VnXmlDocument::Escape(key, VnXmlDocument::kEscapeAttrib);
    out += u"\">";
    out += VnXmlDocument::Escape(value, VnXmlDocument::kEscapeText);
    out += u"</";
    out += kItemName;
    out += u">";
}

VnString VnPropertyMap::TextBeforeNul(const VnString& text) {
    int32_t nul = text.Find(u'\0');
    return nul < 0 ? text : text.Left(nul);
}

void VnPropertyMap::WriteItems(VnString& out) const {
    ForEachEntry([&out](const VnString& key, const VnString& value) { WriteItem(out, key, value); });
}

bool VnPropertyMap::LoadXML(const VnString& text) {
    VnXmlDocument document;
    if (!document.SetDoc(TextBeforeNul(text)) || !document.FindElem()) return false;
    RemoveAll();
    loadedVersion_ = VnString::ParseDouble(document.GetAttrib(kVersionAttrib));
    ReadItems(document);
    return true;
}

void VnPropertyMap::ReadItems(VnXmlDocument& document) {
    if (!document.IntoElem()) return;
    while (document.FindElem(kItemName)) {
        // An item without a name names no key; Name="" is the empty key.
        if (document.HasAttrib(kNameAttrib)) SetString(document.GetAttrib(kNameAttrib), document.GetData());
    }
    document.OutOfElem();
}

VnString VnPropertyMap::Dump(const VnString& indent) const {
    VnString out;
    ForEachEntry([&](const VnString& key, const VnString& value) {
        out.AppendFormat(u"%s%s: %s%s", indent, key, value, u"\r\n");
    });
    return out;
}
