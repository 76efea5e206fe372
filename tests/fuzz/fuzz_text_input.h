// Turns fuzzer bytes into text for the readers under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "VnString.h"

// The first byte chooses how the rest is read: UTF-8 text (odd) or raw UTF-16
// code units (even), so that unpaired surrogates and NUL reach the reader too.
inline VnString FuzzTextFromBytes(const uint8_t* data, size_t size) {
    if (size == 0) return VnString();
    if (data[0] & 1) return VnString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    std::u16string units((size - 1) / 2, u'\0');
    std::memcpy(units.data(), data + 1, units.size() * sizeof(char16_t));
    return VnString(units);
}
