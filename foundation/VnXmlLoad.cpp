// Reading a document from a file: the bytes are decoded by their byte-order
// mark (UTF-16 LE or BE, UTF-8) and parsed. Without a mark the text is UTF-8,
// unless it plainly starts with a UTF-16 '<' (a zero byte beside it).
#include <cstdio>
#include <string>

#include "VnXmlDocument.h"

#if defined(_WIN32)
#include <wchar.h>
#endif

namespace {

FILE* OpenForReading(std::u16string_view path) {
    VnString text(path);
#if defined(_WIN32)
    return _wfopen(text.ToWide().c_str(), L"rb");
#else
    return std::fopen(text.ToUtf8().c_str(), "rb");
#endif
}

// Larger files are refused: the text must fit the string's 32-bit length.
constexpr size_t kMaxFileBytes = 0x3FFFFFFF;

bool ReadAll(FILE* file, std::string* bytes) {
    char chunk[65536];
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof(chunk), file);
        if (bytes->size() + got > kMaxFileBytes) return false;
        bytes->append(chunk, got);
        if (got < sizeof(chunk)) return !std::ferror(file);
    }
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char first = static_cast<unsigned char>(bytes[2 * i]);
        unsigned char second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return text;
}

}  // namespace

VnString VnXmlDecodeBytes(std::string_view bytes) {
    auto startsWith = [&](std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; };
    if (startsWith("\xFF\xFE")) return VnString(std::u16string_view(DecodeUtf16(bytes.substr(2), false)));
    if (startsWith("\xFE\xFF")) return VnString(std::u16string_view(DecodeUtf16(bytes.substr(2), true)));
    if (startsWith("\xEF\xBB\xBF")) return VnString::FromUtf8(bytes.substr(3));
    if (startsWith(std::string_view("<\0", 2))) return VnString(std::u16string_view(DecodeUtf16(bytes, false)));
    if (startsWith(std::string_view("\0<", 2))) return VnString(std::u16string_view(DecodeUtf16(bytes, true)));
    return VnString::FromUtf8(bytes);
}

bool VnXmlDocument::Load(std::u16string_view path) {
    VnString name(path);
    FILE* file = OpenForReading(path);
    std::string bytes;
    bool read = file && ReadAll(file, &bytes);
    if (file) std::fclose(file);
    if (!read) {
        text_.Empty();
        table_.Reset(8);
        ResetPos();
        wellFormed_ = false;
        error_ = VnString::Format(file ? u"Unable to read file '%s'" : u"Unable to open file '%s'", name);
        return false;
    }
    return SetDoc(VnXmlDecodeBytes(bytes));
}
