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

size_t VnFindOneOf(std::u16string_view text, std::u16string_view set, size_t from) {
    const char16_t* s = text.data();
    const size_t length = text.size();
    size_t i = from;
#if defined(__SSE2__)
    if (set.size() <= 4) {
        __m128i wanted[4];
        for (size_t k = 0; k < 4; ++k) wanted[k] = _mm_set1_epi16(short(set.empty() ? 0 : set[k < set.size() ? k : 0]));
        for (; !set.empty() && i + 8 <= length; i += 8) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(chunk, wanted[0]), _mm_cmpeq_epi16(chunk, wanted[1])),
                                              _mm_or_si128(_mm_cmpeq_epi16(chunk, wanted[2]), _mm_cmpeq_epi16(chunk, wanted[3])));
            const int mask = _mm_movemask_epi8(hits);
            if (mask) return i + (unsigned(__builtin_ctz(unsigned(mask))) >> 1);
        }
    }
#endif
    for (; i < length; ++i)
        if (set.find(s[i]) != std::u16string_view::npos) return i;
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
