// Searching UTF-16 text for one character or a piece of text, eight
// characters at a time where the processor allows. Scans like these (rows
// for their separators and tokens, documents for "<", paths for "\") are
// the hottest loops of text handling; the standard library looks at 16-bit
// text one character at a time.
#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Position of the first `c` at or after `from`, or npos.
size_t VnFindChar(std::u16string_view text, char16_t c, size_t from = 0);
// Position of the first `sub` at or after `from`, or npos; an empty `sub`
// is found at `from` when that is within the text.
size_t VnFindText(std::u16string_view text, std::u16string_view sub, size_t from = 0);

// Calls visit(position) for every character of `text` that is one of the
// first four characters of `set`, in order. One pass over the text, however
// many there are: for splitting long lists.
template <class Visit>
void VnForEachOneOf(std::u16string_view text, std::u16string_view set, Visit visit) {
    if (set.empty()) return;
    const char16_t* s = text.data();
    const size_t length = text.size();
    const auto wanted = [&](size_t k) { return set[k < set.size() ? k : 0]; };
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i w0 = _mm_set1_epi16(short(wanted(0))), w1 = _mm_set1_epi16(short(wanted(1))),
                  w2 = _mm_set1_epi16(short(wanted(2))), w3 = _mm_set1_epi16(short(wanted(3)));
    for (; i + 8 <= length; i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(chunk, w0), _mm_cmpeq_epi16(chunk, w1)),
                                                                _mm_or_si128(_mm_cmpeq_epi16(chunk, w2), _mm_cmpeq_epi16(chunk, w3)))));
        while (mask) {  // two bits for each character found
            const unsigned bit = unsigned(__builtin_ctz(mask));
            visit(i + (bit >> 1));
            mask &= ~(3u << bit);
        }
    }
#endif
    for (; i < length; ++i)
        if (s[i] == wanted(0) || s[i] == wanted(1) || s[i] == wanted(2) || s[i] == wanted(3)) visit(i);
}
