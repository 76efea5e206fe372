// Readable GoogleTest output for strings and string arrays.
#pragma once

#include <ostream>

#include "VnArray.h"

inline void PrintTo(const VnString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }
inline void PrintTo(const VnStringArray& items, std::ostream* out) {
    for (const VnString& item : items) PrintTo(item, out), *out << ' ';
}
