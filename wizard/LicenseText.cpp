#include "LicenseText.h"

#include <string>

#include "VnArray.h"
#include "VnPlatform.h"

namespace {

VnString DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return VnString(std::u16string_view(text));
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        // Continuation bytes after the lead byte; 4 marks a byte that cannot lead.
        const size_t follow = lead < 0x80           ? 0
                              : (lead >> 5) == 0x6  ? 1
                              : (lead >> 4) == 0xE  ? 2
                              : (lead >> 3) == 0x1E ? 3
                                                    : 4;
        if (follow == 4 || lead == 0xC0 || lead == 0xC1) return false;
        if (i + follow >= bytes.size() && follow > 0) return false;
        for (size_t k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += follow + 1;
    }
    return true;
}

// Windows-1252 characters 0x80 to 0x9F; the five unassigned ones keep their codes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

VnString DecodeWindows1252(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        text[i] = c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c);
    }
    return VnString(std::u16string_view(text));
}

}  // namespace

VnString DecodeTextFile(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) return VnString::FromUtf8(bytes.substr(3));
    return IsValidUtf8(bytes) ? VnString::FromUtf8(bytes) : DecodeWindows1252(bytes);
}

VnString ReadLicenseText(const VnString& path) {
    std::string bytes;
    if (VnPlatform().Files().ReadFile(path, bytes) != vnwin::kErrorSuccess) return VnString();
    return DecodeTextFile(bytes);
}

VnString LanguageCodeFromIni(const VnString& iniText) {
    const VnStringArray lines = VnStringArray::Split(iniText.View(), u"\n");
    for (int32_t i = 0; i < lines.GetSize(); ++i) {
        VnString line = lines[i];
        line.Trim();
        const int32_t equals = line.Find(u"=");
        if (equals <= 0) continue;
        VnString key = line.Left(equals);
        key.Trim();
        if (key.CompareNoCase(u"Code") != 0) continue;
        VnString value = line.Mid(equals + 1);
        value.Trim();
        return value;
    }
    return VnString();
}
