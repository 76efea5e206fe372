// Strings in tests: readable GoogleTest output for VnString and string
// arrays, and their UTF-8 forms for comparisons with plain literals.
#pragma once

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
