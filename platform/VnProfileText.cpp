#include "VnProfileText.h"

namespace {
bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = bytes[i];
        const size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (extra == 9 || i + extra >= bytes.size() + (extra == 0 ? 1 : 0)) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

std::u16string_view Trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}
}  // namespace

VnString VnProfileTextOf(std::string_view bytes) {
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) {
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
        return VnString(std::u16string_view(text));
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) return VnString::FromUtf8(bytes);
    std::u16string text;
    for (char c : bytes) text += char16_t(uint8_t(c));
    return VnString(std::u16string_view(text));
}

void VnForEachProfileValue(const VnString& text,
                           const std::function<void(std::u16string_view section, std::u16string_view key,
                                                    std::u16string_view value)>& visit) {
    std::u16string_view rest = text.View();
    std::u16string_view section;
    while (!rest.empty()) {
        const size_t end = rest.find(u'\n');
        std::u16string_view line = Trimmed(rest.substr(0, end));
        rest.remove_prefix(end == std::u16string_view::npos ? rest.size() : end + 1);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            section = close == std::u16string_view::npos ? std::u16string_view() : Trimmed(line.substr(1, close - 1));
            continue;
        }
        const size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos) continue;
        std::u16string_view value = Trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && ((value.front() == u'"' && value.back() == u'"') ||
                                  (value.front() == u'\'' && value.back() == u'\'')))
            value = value.substr(1, value.size() - 2);
        visit(section, Trimmed(line.substr(0, equals)), value);
    }
}

bool VnFindProfileValue(const VnString& text, const VnString& section, const VnString& key, VnString& value) {
    bool found = false;
    VnForEachProfileValue(text, [&](std::u16string_view s, std::u16string_view k, std::u16string_view v) {
        if (found || VnString::CompareNoCase(s, section.View()) != 0 || VnString::CompareNoCase(k, key.View()) != 0)
            return;
        value = VnString(v);
        found = true;
    });
    return found;
}
