#include "VnXmlLex.h"

#include "VnCharSearch.h"

namespace VnXmlLex {
namespace {

constexpr uint8_t ClassOf(char c) {
    uint8_t cls = 0;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') cls |= kWhite | kTagNameEnd | kAttrNameEnd | kUnquotedEnd;
    for (char t : std::string_view("<>=\\/?!"))
        if (c == t) cls |= kTagNameEnd;
    for (char t : std::string_view("=>/?<"))
        if (c == t) cls |= kAttrNameEnd;
    if (c == '>' || c == '<') cls |= kUnquotedEnd;
    for (char t : std::string_view(" =/[]"))
        if (c == t) cls |= kStepNameEnd;
    return cls;
}

struct ClassTable {
    uint8_t v[128];
    constexpr ClassTable() : v() {
        for (int c = 0; c < 128; ++c) v[c] = ClassOf(char(c));
    }
};
constexpr ClassTable kTable;

// Offset of `needle` (3 characters) at or after `from`, or -1.
int32_t Find3(const char16_t* s, int32_t length, int32_t from, char16_t a, char16_t b, char16_t c) {
    for (int32_t i = from; i + 2 < length; ++i)
        if (s[i] == a && s[i + 1] == b && s[i + 2] == c) return i;
    return -1;
}

bool StartsWith(const char16_t* s, int32_t length, int32_t at, std::u16string_view prefix) {
    return length - at >= int32_t(prefix.size()) && std::u16string_view(s + at, prefix.size()) == prefix;
}

// True when the rest of the text is a proper beginning of `opener`.
bool IsCutOff(const char16_t* s, int32_t length, int32_t at, std::u16string_view opener) {
    int32_t rest = length - at;
    return rest < int32_t(opener.size()) && std::u16string_view(s + at, size_t(rest)) == opener.substr(0, size_t(rest));
}

Token Problem(Markup kind, int32_t resume) { return {kind, resume, 0, 0, nullptr}; }
Token Unterminated(const char16_t* what, int32_t resume) { return {Markup::kUnterminated, resume, 0, 0, what}; }

// A document type declaration, with its internal subset in brackets.
Token LexDocType(const char16_t* s, int32_t length, int32_t at) {
    int depth = 0;
    for (int32_t i = at + 9; i < length; ++i) {
        char16_t c = s[i];
        if (c == '"' || c == '\'') {
            int32_t close = i + 1;
            while (close < length && s[close] != c) ++close;
            if (close >= length) break;
            i = close;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '<' && StartsWith(s, length, i, u"<!--")) {
            int32_t close = Find3(s, length, i + 4, '-', '-', '>');
            if (close < 0) break;
            i = close + 2;
        } else if (c == '>' && depth <= 0) {
            return {Markup::kDocType, i + 1, 0, 0, nullptr};
        }
    }
    return Unterminated(u"Doctype", length);
}

Token LexBang(const char16_t* s, int32_t length, int32_t at) {
    if (StartsWith(s, length, at, u"<!--")) {
        int32_t close = Find3(s, length, at + 4, '-', '-', '>');
        return close < 0 ? Unterminated(u"Comment", length) : Token{Markup::kComment, close + 3, 0, 0, nullptr};
    }
    if (StartsWith(s, length, at, u"<![CDATA[")) {
        int32_t close = Find3(s, length, at + 9, ']', ']', '>');
        return close < 0 ? Unterminated(u"CDATA Section", length) : Token{Markup::kCData, close + 3, 0, 0, nullptr};
    }
    if (StartsWith(s, length, at, u"<!DOCTYPE")) return LexDocType(s, length, at);
    if (IsCutOff(s, length, at, u"<!--") || IsCutOff(s, length, at, u"<![CDATA[") ||
        IsCutOff(s, length, at, u"<!DOCTYPE"))
        return Unterminated(u"tag", length);
    if (s[at + 2] == '-') return Problem(Markup::kBadComment, at + 2);
    return Problem(Markup::kBadBangTag, at + 2);
}

Token LexEndTag(const char16_t* s, int32_t length, int32_t at) {
    int32_t nameStart = at + 2;
    int32_t nameEnd = NameEnd(s, length, nameStart);
    if (nameEnd == nameStart && nameStart < length) return Problem(Markup::kBadTagNameChar, at + 2);
    for (int32_t i = nameEnd; i < length; ++i) {
        if (s[i] == '>') return {Markup::kEndTag, i + 1, nameStart, nameEnd, nullptr};
        if (s[i] == '<') return Unterminated(u"Element end tag", i);
    }
    return Unterminated(u"Element end tag", length);
}

Token LexStartTag(const char16_t* s, int32_t length, int32_t at) {
    int32_t nameStart = at + 1;
    int32_t i = NameEnd(s, length, nameStart);
    int32_t nameEnd = i;
    while (i < length) {
        char16_t c = s[i];
        if (c == '>') return {Markup::kStartTag, i + 1, nameStart, nameEnd, nullptr};
        if (c == '/' && i + 1 < length && s[i + 1] == '>') return {Markup::kEmptyTag, i + 2, nameStart, nameEnd, nullptr};
        if (c == '<') return Unterminated(u"Element tag", i);
        if (c == '"' || c == '\'') {
            // A quoted value (or a stray quoted string): skip to its end.
            int32_t close = i + 1;
            while (close < length && s[close] != c) ++close;
            if (close >= length) break;
            i = close + 1;
        } else if (Is(c, kAttrNameEnd)) {
            ++i;  // white space, '=', or a stray '/' or '?'
        } else {
            while (i < length && !Is(s[i], kAttrNameEnd)) ++i;
            while (i < length && Is(s[i], kWhite)) ++i;
            if (i < length && s[i] == '=') {
                ++i;
                while (i < length && Is(s[i], kWhite)) ++i;
                if (i < length && s[i] != '"' && s[i] != '\'')
                    while (i < length && !Is(s[i], kUnquotedEnd)) ++i;
            }
        }
    }
    return Unterminated(u"Element tag", length);
}

}  // namespace

const uint8_t kClasses[128] = {
#define VN_ROW(b) kTable.v[b], kTable.v[b + 1], kTable.v[b + 2], kTable.v[b + 3], kTable.v[b + 4], kTable.v[b + 5], \
                  kTable.v[b + 6], kTable.v[b + 7]
    VN_ROW(0),  VN_ROW(8),  VN_ROW(16), VN_ROW(24), VN_ROW(32),  VN_ROW(40),  VN_ROW(48),  VN_ROW(56),
    VN_ROW(64), VN_ROW(72), VN_ROW(80), VN_ROW(88), VN_ROW(96), VN_ROW(104), VN_ROW(112), VN_ROW(120),
#undef VN_ROW
};

Token LexMarkup(const char16_t* s, int32_t length, int32_t at) {
    if (at + 1 >= length) return Unterminated(u"tag", length);
    char16_t next = s[at + 1];
    if (next == '/') return LexEndTag(s, length, at);
    if (next == '?') {
        for (int32_t i = at + 2; i + 1 < length; ++i)
            if (s[i] == '?' && s[i + 1] == '>') return {Markup::kProcessingInstruction, i + 2, 0, 0, nullptr};
        return Unterminated(u"Processing instruction", length);
    }
    if (next == '!') return LexBang(s, length, at);
    if (Is(next, kTagNameEnd)) return Problem(Markup::kBadTagNameChar, at + 1);
    return LexStartTag(s, length, at);
}

bool NextAttrib(const char16_t* s, int32_t& pos, int32_t end, Attrib* out) {
    int32_t i = pos;
    while (i < end) {
        char16_t c = s[i];
        if (c == '>') break;
        if (c == '"' || c == '\'') {
            int32_t close = i + 1;
            while (close < end && s[close] != c) ++close;
            i = close + 1;
            continue;
        }
        if (Is(c, kAttrNameEnd)) {
            ++i;
            continue;
        }
        Attrib a{};
        a.nameStart = i;
        while (i < end && !Is(s[i], kAttrNameEnd)) ++i;
        a.nameEnd = i;
        a.valueStart = a.valueEnd = a.tokenEnd = i;
        int32_t j = i;
        while (j < end && Is(s[j], kWhite)) ++j;
        if (j < end && s[j] == '=') {
            ++j;
            while (j < end && Is(s[j], kWhite)) ++j;
            a.hasValue = true;
            if (j < end && (s[j] == '"' || s[j] == '\'')) {
                int32_t close = j + 1;
                while (close < end && s[close] != s[j]) ++close;
                a.valueStart = j + 1;
                a.valueEnd = close < end ? close : end;
                a.tokenEnd = close < end ? close + 1 : end;
            } else {
                a.valueStart = j;
                while (j < end && !Is(s[j], kUnquotedEnd)) ++j;
                a.valueEnd = a.tokenEnd = j;
            }
            i = a.tokenEnd;
        }
        pos = i;
        *out = a;
        return true;
    }
    pos = i;
    return false;
}

int32_t FindLt(const char16_t* s, int32_t length, int32_t from) {
    const size_t at = VnFindChar({s, size_t(length)}, u'<', size_t(from));
    return at == std::u16string_view::npos ? length : int32_t(at);
}

}  // namespace VnXmlLex
