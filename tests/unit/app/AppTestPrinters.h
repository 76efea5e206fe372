// Readable GoogleTest output for strings and string arrays.
#pragma once

#include <ostream>

#include "VnArray.h"
#include "VnString.h"

inline void PrintTo(const VnString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }

inline void PrintTo(const VnStringArray& items, std::ostream* out) {
    *out << '{';
    for (int32_t i = 0; i < items.GetSize(); ++i) {
        if (i > 0) *out << ", ";
        PrintTo(items[i], out);
    }
    *out << '}';
}
