// Strings in tests: readable GoogleTest output for VnString and string
// arrays, and their UTF-8 forms for comparisons with plain literals.
#pragma once

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "VnArray.h"

inline void PrintTo(const VnString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }
inline void PrintTo(const VnStringArray& items, std::ostream* out) {
    for (const VnString& item : items) PrintTo(item, out), *out << ' ';
}

inline std::string Utf8(const VnString& text) { return text.ToUtf8(); }
inline std::vector<std::string> Utf8(const VnStringArray& list) {
    std::vector<std::string> items;
    for (const VnString& item : list) items.push_back(item.ToUtf8());
    return items;
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in hexadecimal digits.
inline bool LooksLikeGuid(const std::string& text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}
