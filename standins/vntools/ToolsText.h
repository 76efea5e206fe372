// Small text rules shared by the library's readers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "VnString.h"

// A decimal number at the start of `text` (after white space, with an
// optional sign); false when no digit is there, so that a text without a
// number means "no value" rather than 0. Digits past the int32 range saturate.
inline bool ToolsParseInt(std::u16string_view text, int32_t& value) {
    size_t at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t' || text[at] == u'\r' || text[at] == u'\n')) ++at;
    bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
    if (at >= text.size() || text[at] < u'0' || text[at] > u'9') return false;
    int64_t number = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at)
        number = std::min<int64_t>(number * 10 + (text[at] - u'0'), int64_t(INT32_MAX) + 1);
    if (negative) number = -number;
    value = int32_t(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
    return true;
}

// A value read from a file: white space around it removed.
inline VnString ToolsTrimmed(VnString text) {
    text.Trim();
    return text;
}
