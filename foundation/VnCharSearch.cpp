#include "VnCharSearch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

size_t VnFindChar(std::u16string_view text, char16_t c, size_t from) {
    const char16_t* s = text.data();
    const size_t length = text.size();
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; i + 8 <= length; i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(chunk, wanted));
        if (mask) return i + (unsigned(__builtin_ctz(unsigned(mask))) >> 1);
    }
#endif
    for (; i < length; ++i)
        if (s[i] == c) return i;
    return std::u16string_view::npos;
}

size_t VnFindText(std::u16string_view text, std::u16string_view sub, size_t from) {
    if (sub.empty()) return from <= text.size() ? from : std::u16string_view::npos;
    if (sub.size() > text.size()) return std::u16string_view::npos;
    const size_t last = text.size() - sub.size();  // the last place `sub` can begin
    const std::u16string_view rest = sub.substr(1);
    for (size_t at = VnFindChar(text, sub[0], from); at != std::u16string_view::npos && at <= last;
         at = VnFindChar(text, sub[0], at + 1)) {
        if (text.compare(at + 1, rest.size(), rest) == 0) return at;
    }
    return std::u16string_view::npos;
}
