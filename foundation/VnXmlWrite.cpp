// Writing: every edit replaces one range of the text and then moves the
// offsets of the records behind it and the lengths of the elements around it.
#include <cstring>

#include "VnXmlDocument.h"
#include "VnXmlLex.h"

class VnXmlWriter {
public:
    static bool ValidName(std::u16string_view name, uint8_t endClass);
    // Replaces text_[pos, pos + oldLength) inside element `container` (0: the
    // document) with `replacement`; returns the change in length.
    static int32_t Splice(VnXmlDocument& doc, uint32_t container, int32_t pos, int32_t oldLength,
                       std::u16string_view replacement);
    static uint32_t InsertElem(VnXmlDocument& doc, uint32_t parent, uint32_t after, std::u16string_view name,
                               std::u16string_view data);
    static bool SetAttrib(VnXmlDocument& doc, uint32_t elem, std::u16string_view name, std::u16string_view value);
    static bool SetData(VnXmlDocument& doc, uint32_t elem, std::u16string_view data);
    // Turns "<name .../>" into "<name ...>" + content + "</name>".
    static void OpenEmptyForm(VnXmlDocument& doc, uint32_t elem, std::u16string_view content);
};

bool VnXmlWriter::ValidName(std::u16string_view name, uint8_t endClass) {
    if (name.empty()) return false;
    for (char16_t c : name)
        if (VnXmlLex::Is(c, endClass) || c == '"' || c == '\'' || c == '<' || c == '&') return false;
    return true;
}

int32_t VnXmlWriter::Splice(VnXmlDocument& doc, uint32_t container, int32_t pos, int32_t oldLength,
                         std::u16string_view replacement) {
    int32_t length = doc.text_.GetLength();
    int32_t delta = int32_t(replacement.size()) - oldLength;
    int32_t newLength = length + delta;
    char16_t* buffer = doc.text_.GetBuffer(newLength);
    std::memmove(buffer + pos + replacement.size(), buffer + pos + oldLength,
                 size_t(length - pos - oldLength) * sizeof(char16_t));
    std::memcpy(buffer + pos, replacement.data(), replacement.size() * sizeof(char16_t));
    doc.text_.ReleaseBuffer(newLength);

    int32_t tail = pos + oldLength;
    for (uint32_t i = 1; i < doc.table_.GetCount(); ++i) {
        VnXmlElemRecord& r = doc.Rec(i);
        if (r.start >= tail) r.start += delta;
    }
    for (uint32_t e = container; e != 0; e = doc.Rec(e).parent) doc.Rec(e).length += delta;
    doc.Rec(0).length += delta;
    doc.ClearNode();
    return delta;
}

void VnXmlWriter::OpenEmptyForm(VnXmlDocument& doc, uint32_t elem, std::u16string_view content) {
    VnString name(doc.TagNameOf(elem));
    const VnXmlElemRecord& r = doc.Rec(elem);
    int32_t slash = r.start + r.startTagLength - 2;
    // A stray '/' just before must not pair up with the new '>'.
    std::u16string_view close = doc.text_[slash - 1] == '/' ? u" >" : u">";
    VnString replacement = VnString(close) + content + u"</" + name + u">";
    Splice(doc, elem, slash, 2, replacement);
    VnXmlElemRecord& edited = doc.Rec(elem);
    edited.startTagLength += int32_t(close.size()) - 2;
    edited.flags &= ~uint32_t(VnXmlElemRecord::kEmptyForm);
}

uint32_t VnXmlWriter::InsertElem(VnXmlDocument& doc, uint32_t parent, uint32_t after, std::u16string_view name,
                                 std::u16string_view data) {
    if (!ValidName(name, VnXmlLex::kTagNameEnd)) return 0;
    if (parent == 0 && doc.Rec(0).firstChild != 0) return 0;  // one root only
    if (parent != 0 && (doc.Rec(parent).flags & VnXmlElemRecord::kNotEnded)) return 0;

    VnString elemText = VnString(u"<") + name;
    elemText += data.empty() ? VnString(u"/>") : VnString(u">") + VnXmlDocument::Escape(data, VnXmlDocument::kEscapeText) + u"</" + name + u">";
    int32_t startTagLength = data.empty() ? elemText.GetLength() : int32_t(name.size()) + 2;

    uint32_t first = doc.Rec(parent).firstChild;
    if (after == 0 && first != 0) after = doc.Rec(first).prevSibling;  // the last child
    int32_t elemStart;
    if (after != 0) {
        int32_t pos = doc.Rec(after).End();
        Splice(doc, parent, pos, 0, VnString(u"\r\n") + elemText);
        elemStart = pos + 2;
    } else if (parent != 0 && (doc.Rec(parent).flags & VnXmlElemRecord::kEmptyForm)) {
        OpenEmptyForm(doc, parent, VnString(u"\r\n") + elemText + u"\r\n");
        elemStart = doc.Rec(parent).ContentStart() + 2;
    } else {
        int32_t pos = parent ? doc.ContentEnd(parent) : doc.text_.GetLength();
        int32_t contentStart = doc.Rec(parent).ContentStart();
        bool lineBreakFirst = pos > contentStart && doc.text_[pos - 1] != '\n';
        if (parent != 0 && pos == contentStart) lineBreakFirst = true;
        VnString insert = lineBreakFirst ? VnString(u"\r\n") + elemText : elemText;
        insert += u"\r\n";
        Splice(doc, parent, pos, 0, insert);
        elemStart = pos + (lineBreakFirst ? 2 : 0);
    }

    uint32_t index = doc.table_.Add();
    VnXmlElemRecord& r = doc.Rec(index);
    r.start = elemStart;
    r.length = elemText.GetLength();
    r.startTagLength = startTagLength;
    r.flags = data.empty() ? uint32_t(VnXmlElemRecord::kEmptyForm) : 0u;
    r.parent = parent;
    if (first == 0) {
        doc.Rec(parent).firstChild = index;
        r.prevSibling = index;
    } else {
        uint32_t next = doc.Rec(after).nextSibling;
        r.prevSibling = after;
        r.nextSibling = next;
        doc.Rec(after).nextSibling = index;
        doc.Rec(next ? next : first).prevSibling = index;
    }
    return index;
}

bool VnXmlWriter::SetAttrib(VnXmlDocument& doc, uint32_t elem, std::u16string_view name, std::u16string_view value) {
    if (elem == 0 || !ValidName(name, VnXmlLex::kAttrNameEnd)) return false;
    VnString quoted = VnString(u"\"") + VnXmlDocument::Escape(value, VnXmlDocument::kEscapeAttrib) + u"\"";
    const VnXmlElemRecord& r = doc.Rec(elem);
    const char16_t* s = doc.text_.c_str();
    int32_t pos = r.start + 1 + int32_t(doc.TagNameOf(elem).size());
    int32_t insertAt = pos;
    VnXmlLex::Attrib a;
    while (VnXmlLex::NextAttrib(s, pos, r.start + r.startTagLength, &a)) {
        if (doc.NamesEqual({s + a.nameStart, size_t(a.nameEnd - a.nameStart)}, name)) {
            if (a.hasValue) {
                bool wasQuoted = a.tokenEnd > a.valueEnd;
                int32_t from = wasQuoted ? a.valueStart - 1 : a.valueStart;
                doc.Rec(elem).startTagLength += Splice(doc, elem, from, a.tokenEnd - from, quoted);
            } else {
                doc.Rec(elem).startTagLength += Splice(doc, elem, a.nameEnd, 0, VnString(u"=") + quoted);
            }
            return true;
        }
        insertAt = a.tokenEnd;
    }
    doc.Rec(elem).startTagLength += Splice(doc, elem, insertAt, 0, VnString(u" ") + name + u"=" + quoted);
    return true;
}

bool VnXmlWriter::SetData(VnXmlDocument& doc, uint32_t elem, std::u16string_view data) {
    if (elem == 0) return false;
    const VnXmlElemRecord& r = doc.Rec(elem);
    if (r.firstChild != 0 || (r.flags & VnXmlElemRecord::kNotEnded)) return false;
    VnString escaped = VnXmlDocument::Escape(data, VnXmlDocument::kEscapeText);
    if (r.flags & VnXmlElemRecord::kEmptyForm) {
        if (!escaped.IsEmpty()) OpenEmptyForm(doc, elem, escaped);
        return true;
    }
    int32_t contentStart = r.ContentStart();
    Splice(doc, elem, contentStart, doc.ContentEnd(elem) - contentStart, escaped);
    return true;
}

bool VnXmlDocument::AddElem(std::u16string_view name, std::u16string_view data) {
    uint32_t added = VnXmlWriter::InsertElem(*this, parent_, main_, name, data);
    if (added == 0) return false;
    if (parent_ == 0 && (error_ == u"Empty document" || error_ == u"No root element")) error_.Empty();
    if (parent_ == 0) wellFormed_ = error_.IsEmpty();
    main_ = added;
    child_ = 0;
    return true;
}

bool VnXmlDocument::AddChildElem(std::u16string_view name, std::u16string_view data) {
    if (main_ == 0) return false;
    uint32_t added = VnXmlWriter::InsertElem(*this, main_, child_, name, data);
    if (added == 0) return false;
    child_ = added;
    return true;
}

bool VnXmlDocument::SetAttrib(std::u16string_view name, std::u16string_view value) {
    return VnXmlWriter::SetAttrib(*this, main_, name, value);
}

bool VnXmlDocument::SetChildAttrib(std::u16string_view name, std::u16string_view value) {
    return VnXmlWriter::SetAttrib(*this, child_, name, value);
}

bool VnXmlDocument::SetData(std::u16string_view data) { return VnXmlWriter::SetData(*this, main_, data); }

bool VnXmlDocument::SetChildData(std::u16string_view data) { return VnXmlWriter::SetData(*this, child_, data); }
