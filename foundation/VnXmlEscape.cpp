// Entity handling for text written into and read out of the document.
#include "VnXmlDocument.h"

#include "VnCharSearch.h"

namespace {

bool NeedsEscape(char16_t c, VnXmlDocument::EscapeMode mode) {
    if (c == '&' || c == '<' || c == '>') return true;
    if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
    return mode == VnXmlDocument::kEscapeAttrib && (c == '"' || c == '\'');
}

// The character of a reference body ("amp", "#38", "#x26"), or -1.
int32_t ResolveEntity(std::u16string_view body) {
    if (body == u"amp") return '&';
    if (body == u"lt") return '<';
    if (body == u"gt") return '>';
    if (body == u"quot") return '"';
    if (body == u"apos") return '\'';
    if (body.size() < 2 || body[0] != '#') return -1;
    bool hex = body[1] == 'x' || body[1] == 'X';
    size_t i = hex ? 2 : 1;
    if (i >= body.size()) return -1;
    int64_t value = 0;
    for (; i < body.size(); ++i) {
        char16_t c = body[i];
        int digit = c >= '0' && c <= '9'                ? c - '0'
                    : hex && c >= 'a' && c <= 'f'       ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F'       ? c - 'A' + 10
                                                        : -1;
        if (digit < 0) return -1;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) return -1;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return -1;
    return int32_t(value);
}

// Longest reference worth looking at: "&#x0010FFFF;" with some leading zeros.
constexpr size_t kMaxEntityBody = 16;

}  // namespace

VnString VnXmlDocument::Escape(std::u16string_view text, EscapeMode mode) {
    size_t first = 0;
    while (first < text.size() && !NeedsEscape(text[first], mode)) ++first;
    if (first == text.size()) return VnString(text);
    VnString out(text.substr(0, first));
    for (size_t i = first; i < text.size(); ++i) {
        char16_t c = text[i];
        if (!NeedsEscape(c, mode)) {
            out += c;
            continue;
        }
        switch (c) {
        case '&': out += u"&amp;"; break;
        case '<': out += u"&lt;"; break;
        case '>': out += u"&gt;"; break;
        case '"': out += u"&quot;"; break;
        case '\'': out += u"&apos;"; break;
        default: out.AppendFormat(u"&#%d;", int(c)); break;
        }
    }
    return out;
}

namespace {

// Adds `text` with its references resolved to `out` (a VnString or a
// std::u16string), from its first "&" on; what comes before is already there.
template <class Out>
void UnescapeFrom(std::u16string_view text, size_t amp, Out& out) {
    size_t pos = amp;
    while (pos < text.size()) {
        amp = VnFindChar(text, u'&', pos);
        if (amp == std::u16string_view::npos) {
            out += text.substr(pos);
            break;
        }
        out += text.substr(pos, amp - pos);
        size_t semicolon = text.substr(amp + 1, kMaxEntityBody + 1).find(u';');
        int32_t c = semicolon == std::u16string_view::npos ? -1 : ResolveEntity(text.substr(amp + 1, semicolon));
        if (c < 0) {  // not a reference we know: the '&' stays as text
            out += u'&';
            pos = amp + 1;
        } else {
            if (c >= 0x10000) {
                out += char16_t(0xD800 + ((c - 0x10000) >> 10));
                out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                out += char16_t(c);
            }
            pos = amp + 2 + semicolon;
        }
    }
}

}  // namespace

VnString VnXmlDocument::Unescape(std::u16string_view text) {
    const size_t amp = VnFindChar(text, u'&');
    if (amp == std::u16string_view::npos) return VnString(text);
    VnString out(text.substr(0, amp));
    UnescapeFrom(text, amp, out);
    return out;
}

void VnXmlDocument::AppendUnescaped(std::u16string_view text, std::u16string& out) {
    const size_t amp = VnFindChar(text, u'&');
    out += text.substr(0, amp);
    if (amp != std::u16string_view::npos) UnescapeFrom(text, amp, out);
}
