// Searching UTF-16 text for one character or a piece of text, eight
// characters at a time where the processor allows. Scans like these (rows
// for their separators and tokens, documents for "<", paths for "\") are
// the hottest loops of text handling; the standard library looks at 16-bit
// text one character at a time.
#pragma once

#include <cstddef>
#include <string_view>

// Position of the first `c` at or after `from`, or npos.
size_t VnFindChar(std::u16string_view text, char16_t c, size_t from = 0);
// Position of the first of the characters of `set` (best for a few) at or
// after `from`, or npos.
size_t VnFindOneOf(std::u16string_view text, std::u16string_view set, size_t from = 0);
// Position of the first `sub` at or after `from`, or npos; an empty `sub`
// is found at `from` when that is within the text.
size_t VnFindText(std::u16string_view text, std::u16string_view sub, size_t from = 0);
