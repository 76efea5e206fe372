// Lexical rules of the XML document: character classes, one markup token at
// a time, and the attributes of a start tag. The parser, node navigation and
// the attribute readers and writers all use these, so they agree on where a
// tag, a name or a value ends.
#pragma once

#include <cstdint>
#include <string_view>

namespace VnXmlLex {

enum CharClass : uint8_t {
    kWhite = 1,         // " \t\n\r"
    kTagNameEnd = 2,    // " \t\n\r<>=\/?!" and backslash
    kAttrNameEnd = 4,   // "= \t\n\r>/?" (and "<", which ends a broken tag)
    kUnquotedEnd = 8,   // " \t\n\r>" (and "<")
    kStepNameEnd = 16,  // " =/[]" in path steps
};

extern const uint8_t kClasses[128];

inline bool Is(char16_t c, uint8_t cls) { return c < 128 && (kClasses[c] & cls) != 0; }

enum class Markup {
    kStartTag,
    kEmptyTag,  // <name ... />
    kEndTag,
    kComment,
    kCData,
    kProcessingInstruction,
    kDocType,
    kBadTagNameChar,  // "Incorrect tag name character"
    kBadBangTag,      // "Incorrect ! tag"
    kBadComment,      // "Incorrect comment tag"
    kUnterminated,    // "<what> at offset %d unterminated"
};

struct Token {
    Markup kind;
    // Offset just after the markup; for a problem, where scanning resumes.
    int32_t end;
    int32_t nameStart;  // tag name of start and end tags
    int32_t nameEnd;
    const char16_t* what;  // for kUnterminated: "Element tag", "Comment", ...
};

// Reads the markup that starts with the '<' at `at`.
Token LexMarkup(const char16_t* s, int32_t length, int32_t at);

// The tag name that starts at `at` (just after '<' or "</").
inline int32_t NameEnd(const char16_t* s, int32_t length, int32_t at) {
    while (at < length && !Is(s[at], kTagNameEnd)) ++at;
    return at;
}

struct Attrib {
    int32_t nameStart, nameEnd;
    int32_t valueStart, valueEnd;  // inside the quotes; equal when no value
    int32_t tokenEnd;              // after the closing quote or the value
    bool hasValue;
};

// Walks the attributes of a complete start tag. `pos` starts just after the
// tag name; `end` is the end of the start tag. Returns false when no further
// attribute exists.
bool NextAttrib(const char16_t* s, int32_t& pos, int32_t end, Attrib* out);

// Offset of the first '<' at or after `from`, or `length`.
int32_t FindLt(const char16_t* s, int32_t length, int32_t from);

}  // namespace VnXmlLex
