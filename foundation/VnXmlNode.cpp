// Node-by-node navigation: text, CDATA sections, comments, processing
// instructions and document type declarations are found on demand by lexing
// the content between the recorded elements.
#include "VnXmlDocument.h"
#include "VnXmlLex.h"

using VnXmlLex::Markup;

namespace {

int NodeTypeOf(Markup kind) {
    switch (kind) {
    case Markup::kComment: return VnXmlDocument::kNodeComment;
    case Markup::kCData: return VnXmlDocument::kNodeCData;
    case Markup::kProcessingInstruction: return VnXmlDocument::kNodeProcessingInstruction;
    case Markup::kDocType: return VnXmlDocument::kNodeDocumentType;
    default: return VnXmlDocument::kNodeText;  // broken markup reads as text
    }
}

// End of the text node that starts at `pos`: the next markup that is a node
// of its own, or `limit`. Once such markup runs unterminated to the limit, no
// later one can end either, so the rest is text (and is not lexed again).
int32_t TextNodeEnd(const char16_t* s, int32_t limit, int32_t pos) {
    int32_t from = pos;
    for (;;) {
        int32_t lt = VnXmlLex::FindLt(s, limit, from);
        if (lt >= limit) return limit;
        if (lt > pos && lt + 1 < limit && (s[lt + 1] == '!' || s[lt + 1] == '?')) {
            VnXmlLex::Token token = VnXmlLex::LexMarkup(s, limit, lt);
            if (token.kind == Markup::kUnterminated) return limit;
            if (NodeTypeOf(token.kind) != VnXmlDocument::kNodeText) return lt;
        }
        from = lt + 1;
    }
}

}  // namespace

int VnXmlDocument::FindNode(int typeMask) {
    const char16_t* s = text_.c_str();
    const int32_t end = parent_ ? ContentEnd(parent_) : text_.GetLength();
    int32_t pos = nodeType_ != kNodeNone && nodeType_ != kNodeElement ? nodeOffset_ + nodeLength_
                  : main_                                             ? Rec(main_).End()
                                                                      : Rec(parent_).ContentStart();
    uint32_t passed = main_;
    uint32_t nextElem = main_ ? Rec(main_).nextSibling : Rec(parent_).firstChild;
    for (;;) {
        int32_t limit = nextElem ? Rec(nextElem).start : end;
        if (pos >= limit) {
            if (nextElem == 0) return kNodeNone;
            if (typeMask & kNodeElement) {
                main_ = nextElem;
                child_ = 0;
                nodeType_ = kNodeElement;
                nodeOffset_ = Rec(nextElem).start;
                nodeLength_ = Rec(nextElem).length;
                return kNodeElement;
            }
            passed = nextElem;
            pos = Rec(nextElem).End();
            nextElem = Rec(nextElem).nextSibling;
            continue;
        }
        int type = kNodeText;
        int32_t nodeEnd;
        if (s[pos] == '<') {
            VnXmlLex::Token token = VnXmlLex::LexMarkup(s, limit, pos);
            type = NodeTypeOf(token.kind);
            nodeEnd = token.kind == Markup::kUnterminated ? limit
                      : type == kNodeText                 ? TextNodeEnd(s, limit, pos)
                                                          : token.end;
        } else {
            nodeEnd = TextNodeEnd(s, limit, pos);
        }
        if (type & typeMask) {
            main_ = passed;
            child_ = 0;
            nodeType_ = type;
            nodeOffset_ = pos;
            nodeLength_ = nodeEnd - pos;
            return type;
        }
        pos = nodeEnd;
    }
}

VnString VnXmlDocument::NodeName() const {
    const char16_t* s = text_.c_str() + nodeOffset_;
    auto nameFrom = [&](int32_t at) {
        int32_t i = at;
        while (i < nodeLength_ && !VnXmlLex::Is(s[i], VnXmlLex::kWhite) && s[i] != '?' && s[i] != '[' && s[i] != '>') ++i;
        return VnString(std::u16string_view(s + at, size_t(i - at)));
    };
    switch (nodeType_) {
    case kNodeText: return VN_LIT(u"#text");
    case kNodeCData: return VN_LIT(u"#cdata-section");
    case kNodeComment: return VN_LIT(u"#comment");
    case kNodeProcessingInstruction: return nameFrom(2);
    case kNodeDocumentType: {
        int32_t at = 9;
        while (at < nodeLength_ && VnXmlLex::Is(s[at], VnXmlLex::kWhite)) ++at;
        return nameFrom(at);
    }
    default: return VnString();
    }
}

VnString VnXmlDocument::NodeText() const {
    std::u16string_view node(text_.c_str() + nodeOffset_, size_t(nodeLength_));
    switch (nodeType_) {
    case kNodeText: return Unescape(node);
    case kNodeCData: return VnString(node.substr(9, node.size() - 12));
    case kNodeComment: return VnString(node.substr(4, node.size() - 7));
    case kNodeProcessingInstruction: return VnString(node.substr(2, node.size() - 4));
    default: return VnString(node);
    }
}
