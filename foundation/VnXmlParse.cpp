// Parsing: one linear scan of the text that builds the element table. Open
// elements are tracked through their parent links, so nesting depth costs no
// stack; every problem is reported and the scan carries on.
#include <algorithm>

#include "VnXmlDocument.h"
#include "VnXmlLex.h"

using VnXmlLex::Markup;

class VnXmlParser {
public:
    explicit VnXmlParser(VnXmlDocument& doc)
        : doc_(doc), s_(doc.text_.c_str()), length_(doc.text_.GetLength()), searchBudget_(int64_t(length_) + 4096) {}

    bool Run();

private:
    void AddError(const VnString& message);
    std::u16string_view NameAt(int32_t nameStart) const {
        return {s_ + nameStart, size_t(VnXmlLex::NameEnd(s_, length_, nameStart) - nameStart)};
    }
    bool NameMatches(uint32_t elem, std::u16string_view name) const;
    void OpenElement(const VnXmlLex::Token& token, int32_t at);
    void CloseElement(const VnXmlLex::Token& token, int32_t at);
    uint32_t FindOpenAncestor(std::u16string_view name);
    void MarkNotEnded(uint32_t elem, int32_t end);

    VnXmlDocument& doc_;
    const char16_t* s_;
    int32_t length_;
    uint32_t open_ = 0;  // innermost open element, 0 at top level
    int errorCount_ = 0;
    // Bounds the work spent matching stray end tags against deep nesting.
    int64_t searchBudget_;
};

namespace {
// A flood of problems in a large broken text would make the error text huge.
constexpr int kMaxReportedProblems = 1000;
}  // namespace

void VnXmlParser::AddError(const VnString& message) {
    VnString& error = doc_.error_;
    if (errorCount_ < kMaxReportedProblems) {
        if (!error.IsEmpty()) error += u", ";
        error += message;
    } else if (errorCount_ == kMaxReportedProblems) {
        error += u", ...";
    }
    ++errorCount_;
}

bool VnXmlParser::NameMatches(uint32_t elem, std::u16string_view name) const {
    int32_t nameStart = doc_.Rec(elem).start + 1;
    if (length_ - nameStart < int32_t(name.size())) return false;
    int32_t after = nameStart + int32_t(name.size());
    if (after < length_ && !VnXmlLex::Is(s_[after], VnXmlLex::kTagNameEnd)) return false;
    return doc_.NamesEqual({s_ + nameStart, name.size()}, name);
}

void VnXmlParser::OpenElement(const VnXmlLex::Token& token, int32_t at) {
    uint32_t index = doc_.table_.Add();
    VnXmlElemRecord& r = doc_.Rec(index);
    r.start = at;
    r.startTagLength = token.end - at;
    r.parent = open_;
    VnXmlElemRecord& parent = doc_.Rec(open_);
    if (parent.firstChild == 0) {
        parent.firstChild = index;
        r.prevSibling = index;
    } else {
        VnXmlElemRecord& first = doc_.Rec(parent.firstChild);
        doc_.Rec(first.prevSibling).nextSibling = index;
        r.prevSibling = first.prevSibling;
        first.prevSibling = index;
    }
    if (token.kind == Markup::kEmptyTag) {
        r.length = r.startTagLength;
        r.flags = VnXmlElemRecord::kEmptyForm;
    } else {
        open_ = index;
    }
}

void VnXmlParser::MarkNotEnded(uint32_t elem, int32_t end) {
    VnXmlElemRecord& r = doc_.Rec(elem);
    r.flags |= VnXmlElemRecord::kNotEnded;
    r.length = end - r.start;
    AddError(VnString::Format(u"Element '%s' at offset %d not ended", NameAt(r.start + 1), r.start));
}

uint32_t VnXmlParser::FindOpenAncestor(std::u16string_view name) {
    int64_t limit = std::max<int64_t>(searchBudget_, 64);
    int64_t spent = 0;
    for (uint32_t e = doc_.Rec(open_).parent; e != 0 && spent < limit; e = doc_.Rec(e).parent) {
        spent += 1 + int64_t(name.size());
        if (NameMatches(e, name)) return e;
    }
    searchBudget_ -= spent;
    return 0;
}

void VnXmlParser::CloseElement(const VnXmlLex::Token& token, int32_t at) {
    std::u16string_view name(s_ + token.nameStart, size_t(token.nameEnd - token.nameStart));
    if (open_ == 0) {
        AddError(VnString::Format(u"No start tag for end tag '%s' at offset %d", name, at));
        return;
    }
    if (!NameMatches(open_, name)) {
        const VnXmlElemRecord& inner = doc_.Rec(open_);
        AddError(VnString::Format(u"End tag '%s' at offset %d does not match start tag '%s' at offset %d", name, at,
                                  NameAt(inner.start + 1), inner.start));
        uint32_t match = FindOpenAncestor(name);
        if (match == 0) return;  // a stray end tag: ignored
        while (open_ != match) {
            MarkNotEnded(open_, at);
            open_ = doc_.Rec(open_).parent;
        }
    }
    VnXmlElemRecord& r = doc_.Rec(open_);
    r.length = token.end - r.start;
    open_ = r.parent;
}

bool VnXmlParser::Run() {
    doc_.error_.Empty();
    doc_.table_.Reset(uint32_t(length_ / 64) + 8);
    if (length_ == 0) {
        AddError(VN_LIT(u"Empty document"));
        return false;
    }
    int32_t pos = 0;
    while (pos < length_) {
        int32_t at = VnXmlLex::FindLt(s_, length_, pos);
        if (at >= length_) break;
        VnXmlLex::Token token = VnXmlLex::LexMarkup(s_, length_, at);
        switch (token.kind) {
        case Markup::kStartTag:
        case Markup::kEmptyTag:
            OpenElement(token, at);
            break;
        case Markup::kEndTag:
            CloseElement(token, at);
            break;
        case Markup::kComment:
        case Markup::kCData:
        case Markup::kProcessingInstruction:
        case Markup::kDocType:
            break;
        case Markup::kBadTagNameChar:
            AddError(VnString::Format(u"Incorrect %s at offset %d", u"tag name character", at));
            break;
        case Markup::kBadBangTag:
            AddError(VnString::Format(u"Incorrect %s at offset %d", u"! tag", at));
            break;
        case Markup::kBadComment:
            AddError(VnString::Format(u"Incorrect %s at offset %d", u"comment tag", at));
            break;
        case Markup::kUnterminated:
            AddError(VnString::Format(u"%s at offset %d unterminated", token.what, at));
            break;
        }
        pos = token.end;
    }
    while (open_ != 0) {
        MarkNotEnded(open_, length_);
        open_ = doc_.Rec(open_).parent;
    }

    VnXmlElemRecord& document = doc_.Rec(0);
    document.length = length_;
    document.startTagLength = 0;
    if (document.firstChild == 0) {
        AddError(VN_LIT(u"No root element"));
        return false;
    }
    if (doc_.Rec(document.firstChild).nextSibling != 0) {
        AddError(VN_LIT(u"Root element has sibling"));
        return false;
    }
    // Problems inside a properly ended root stay in the error text for the
    // caller to report, but the document is usable.
    return (doc_.Rec(document.firstChild).flags & VnXmlElemRecord::kNotEnded) == 0;
}

bool VnXmlDocument::SetDoc(std::u16string_view text) { return SetDoc(VnString(text)); }

bool VnXmlDocument::SetDoc(const VnString& text) {
    text_ = text;
    ResetPos();
    VnXmlParser parser(*this);
    wellFormed_ = parser.Run();
    return wellFormed_;
}
