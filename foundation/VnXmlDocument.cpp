// Navigation and reading of the parsed document.
#include "VnXmlDocument.h"

#include <algorithm>

#include "VnXmlLex.h"
#include "VnXmlPath.h"

using VnXmlLex::Markup;

VnXmlDocument::VnXmlDocument() { table_.Reset(8); }

VnXmlDocument::VnXmlDocument(std::u16string_view text) { SetDoc(text); }

VnXmlDocument::~VnXmlDocument() = default;

bool VnXmlDocument::NamesEqual(std::u16string_view a, std::u16string_view b) const {
    if (a.size() != b.size()) return false;
    return ignoreCase_ ? VnString::CompareNoCase(a, b) == 0 : a == b;
}

std::u16string_view VnXmlDocument::TagNameOf(uint32_t elem) const {
    if (elem == 0) return {};
    const char16_t* s = text_.c_str();
    int32_t nameStart = Rec(elem).start + 1;
    return {s + nameStart, size_t(VnXmlLex::NameEnd(s, text_.GetLength(), nameStart) - nameStart)};
}

int32_t VnXmlDocument::ContentEnd(uint32_t elem) const {
    const VnXmlElemRecord& r = Rec(elem);
    if (elem == 0 || (r.flags & (VnXmlElemRecord::kNotEnded | VnXmlElemRecord::kEmptyForm))) return r.End();
    // The end tag holds no '<' but its first character.
    const char16_t* s = text_.c_str();
    int32_t i = r.End() - 1;
    while (i > r.ContentStart() && s[i] != '<') --i;
    return i;
}

void VnXmlDocument::ClearNode() {
    nodeType_ = kNodeNone;
    nodeOffset_ = 0;
    nodeLength_ = 0;
}

void VnXmlDocument::ResetPos() {
    parent_ = main_ = child_ = 0;
    ClearNode();
}

void VnXmlDocument::ResetMainPos() {
    main_ = child_ = 0;
    ClearNode();
}

void VnXmlDocument::ResetChildPos() { child_ = 0; }

bool VnXmlDocument::SetElemIndex(uint32_t index) {
    if (index == 0 || index >= table_.GetCount()) return false;
    main_ = index;
    parent_ = Rec(index).parent;
    child_ = 0;
    ClearNode();
    return true;
}

uint32_t VnXmlDocument::FindChild(uint32_t parent, uint32_t after, std::u16string_view name) const {
    uint32_t e = after ? Rec(after).nextSibling : Rec(parent).firstChild;
    for (; e != 0; e = Rec(e).nextSibling)
        if (name.empty() || name == u"*" || NamesEqual(TagNameOf(e), name)) return e;
    return 0;
}

bool VnXmlDocument::FindElem(std::u16string_view nameOrPath) {
    uint32_t found;
    if (VnXmlPathQuery::IsPath(nameOrPath)) {
        found = VnXmlPathQuery(*this, nameOrPath).Find(parent_, main_);
    } else {
        found = FindChild(parent_, main_, nameOrPath);
    }
    if (found == 0) return false;
    main_ = found;
    parent_ = Rec(found).parent;
    child_ = 0;
    ClearNode();
    return true;
}

bool VnXmlDocument::FindChildElem(std::u16string_view name) {
    if (main_ == 0 && !FindElem()) return false;
    uint32_t found = VnXmlPathQuery::IsPath(name) ? VnXmlPathQuery(*this, name).FindChild(main_, child_)
                                                  : FindChild(main_, child_, name);
    if (found == 0) return false;
    child_ = found;
    return true;
}

bool VnXmlDocument::IntoElem() {
    if (main_ == 0) return false;
    parent_ = main_;
    main_ = child_;
    child_ = 0;
    ClearNode();
    return true;
}

bool VnXmlDocument::OutOfElem() {
    if (parent_ == 0) return false;
    child_ = main_;
    main_ = parent_;
    parent_ = Rec(parent_).parent;
    ClearNode();
    return true;
}

VnString VnXmlDocument::GetTagName() const {
    if (nodeType_ != kNodeNone && nodeType_ != kNodeElement) return NodeName();
    return VnString(TagNameOf(main_));
}

VnString VnXmlDocument::GetChildTagName() const { return VnString(TagNameOf(child_)); }

VnString VnXmlDocument::GetData() const {
    if (nodeType_ != kNodeNone && nodeType_ != kNodeElement) return NodeText();
    return DataOf(main_);
}

VnString VnXmlDocument::GetChildData() const { return DataOf(child_); }

VnString VnXmlDocument::GetChildData(std::u16string_view name) const {
    if (main_ == 0) return VnString();
    return DataOf(FindChild(main_, 0, name));
}

namespace {

void AddUnescaped(VnString& out, std::u16string_view text) {
    if (out.IsEmpty()) out = VnXmlDocument::Unescape(text);  // shares the new text
    else out += VnXmlDocument::Unescape(text);
}
void AddUnescaped(std::u16string& out, std::u16string_view text) { VnXmlDocument::AppendUnescaped(text, out); }

}  // namespace

// Text and CDATA sections of an element without child elements; markup that
// is not a comment, CDATA section or processing instruction stays as text
// (after unterminated markup, all the rest does).
template <class Out>
void VnXmlDocument::WriteDataOf(uint32_t elem, Out& out) const {
    if (elem == 0 || Rec(elem).firstChild != 0) return;
    const char16_t* s = text_.c_str();
    int32_t begin = Rec(elem).ContentStart();
    int32_t end = ContentEnd(elem);
    int32_t lt = VnXmlLex::FindLt(s, end, begin);
    if (lt >= end) {
        AddUnescaped(out, {s + begin, size_t(end - begin)});
        return;
    }
    int32_t pos = begin;
    int32_t textFrom = begin;  // text not yet added
    while (pos < end) {
        lt = VnXmlLex::FindLt(s, end, pos);
        if (lt + 1 >= end) break;
        pos = lt + 1;
        if (s[lt + 1] != '!' && s[lt + 1] != '?') continue;
        VnXmlLex::Token token = VnXmlLex::LexMarkup(s, end, lt);
        if (token.kind == Markup::kUnterminated) break;
        if (token.kind != Markup::kCData && token.kind != Markup::kComment &&
            token.kind != Markup::kProcessingInstruction)
            continue;
        AddUnescaped(out, {s + textFrom, size_t(lt - textFrom)});
        if (token.kind == Markup::kCData) out += std::u16string_view(s + lt + 9, size_t(token.end - 3 - (lt + 9)));
        pos = textFrom = token.end;
    }
    AddUnescaped(out, {s + textFrom, size_t(end - textFrom)});
}

VnString VnXmlDocument::DataOf(uint32_t elem) const {
    VnString data;
    WriteDataOf(elem, data);
    return data;
}

void VnXmlDocument::AppendDataOf(uint32_t elem, std::u16string& out) const { WriteDataOf(elem, out); }

std::u16string_view VnXmlDocument::RawContentOf(uint32_t elem) const {
    if (elem == 0) return {};
    const int32_t begin = Rec(elem).ContentStart();
    return text_.View().substr(size_t(begin), size_t(std::max(ContentEnd(elem) - begin, 0)));
}

bool VnXmlDocument::RawAttrib(uint32_t elem, std::u16string_view name, std::u16string_view& raw) const {
    if (elem == 0) return false;
    const VnXmlElemRecord& r = Rec(elem);
    const char16_t* s = text_.c_str();
    int32_t pos = r.start + 1 + int32_t(TagNameOf(elem).size());
    VnXmlLex::Attrib a;
    while (VnXmlLex::NextAttrib(s, pos, r.start + r.startTagLength, &a)) {
        if (NamesEqual({s + a.nameStart, size_t(a.nameEnd - a.nameStart)}, name)) {
            raw = {s + a.valueStart, size_t(a.valueEnd - a.valueStart)};
            return true;
        }
    }
    return false;
}

bool VnXmlDocument::FindAttrib(uint32_t elem, std::u16string_view name, VnString* value) const {
    std::u16string_view raw;
    if (!RawAttrib(elem, name, raw)) return false;
    if (value) *value = Unescape(raw);
    return true;
}

VnString VnXmlDocument::GetAttrib(std::u16string_view name) const {
    VnString value;
    FindAttrib(main_, name, &value);
    return value;
}

bool VnXmlDocument::HasAttrib(std::u16string_view name) const { return FindAttrib(main_, name, nullptr); }

VnString VnXmlDocument::GetChildAttrib(std::u16string_view name) const {
    VnString value;
    FindAttrib(child_, name, &value);
    return value;
}

VnString VnXmlDocument::GetAttribName(int index) const {
    if (main_ == 0 || index < 0) return VnString();
    const VnXmlElemRecord& r = Rec(main_);
    const char16_t* s = text_.c_str();
    int32_t pos = r.start + 1 + int32_t(TagNameOf(main_).size());
    VnXmlLex::Attrib a;
    for (int n = 0; VnXmlLex::NextAttrib(s, pos, r.start + r.startTagLength, &a); ++n)
        if (n == index) return VnString(std::u16string_view(s + a.nameStart, size_t(a.nameEnd - a.nameStart)));
    return VnString();
}
