// printf-style formatting, number parsing and text conversions of VnString.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "VnString.h"

VnFormatArg::VnFormatArg(const VnString& s) : kind_(kString), str_(s.View()) {}
VnFormatArg::VnFormatArg(const char16_t* s) : kind_(kString), str_(s ? std::u16string_view(s) : std::u16string_view()) {}

long long VnFormatArg::AsSigned() const {
    switch (kind_) {
        case kSigned: return i_;
        case kUnsigned: return static_cast<long long>(u_);
        case kDouble: return static_cast<long long>(d_);
        default: return 0;
    }
}

unsigned long long VnFormatArg::AsUnsigned() const {
    return kind_ == kUnsigned ? u_ : static_cast<unsigned long long>(AsSigned());
}

double VnFormatArg::AsDouble() const {
    switch (kind_) {
        case kDouble: return d_;
        case kSigned: return double(i_);
        case kUnsigned: return double(u_);
        default: return 0;
    }
}

namespace {

struct Spec {
    bool left = false, zero = false, plus = false, space = false, alt = false;
    int width = 0, precision = -1;
    bool is64 = false;  // %I64d, %lld: full 64 bits; otherwise truncated to 32 as printf would
};

void Pad(VnString& out, std::u16string_view body, const Spec& spec, size_t signLength = 0) {
    int pad = spec.width - int(body.size());
    if (pad <= 0) {
        out.Append(body);
    } else if (spec.left) {
        out.Append(body);
        out.Append(VnString(u' ', pad).View());
    } else if (spec.zero) {
        out.Append(body.substr(0, signLength));
        out.Append(VnString(u'0', pad).View());
        out.Append(body.substr(signLength));
    } else {
        out.Append(VnString(u' ', pad).View());
        out.Append(body);
    }
}

std::u16string Digits(unsigned long long value, unsigned base, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string digits;
    do {
        digits.insert(digits.begin(), char16_t(set[value % base]));
        value /= base;
    } while (value);
    return digits;
}

void FormatInteger(VnString& out, const VnFormatArg& arg, char16_t conv, const Spec& spec) {
    std::u16string body;
    size_t signLength = 0;
    if (conv == u'd' || conv == u'i') {
        long long v = arg.AsSigned();
        if (!spec.is64) v = static_cast<int32_t>(v);
        unsigned long long magnitude = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        body = Digits(magnitude, 10, false);
        if (v < 0) body.insert(body.begin(), u'-');
        else if (spec.plus) body.insert(body.begin(), u'+');
        else if (spec.space) body.insert(body.begin(), u' ');
        signLength = (v < 0 || spec.plus || spec.space) ? 1 : 0;
    } else {
        unsigned long long v = arg.AsUnsigned();
        if (!spec.is64) v = static_cast<uint32_t>(v);
        unsigned base = (conv == u'u') ? 10 : (conv == u'o' ? 8 : 16);
        body = Digits(v, base, conv == u'X');
        if (spec.alt && base == 16 && v) {
            body.insert(0, conv == u'X' ? u"0X" : u"0x");
            signLength = 2;
        }
    }
    if (spec.precision >= 0 && int(body.size() - signLength) < spec.precision)
        body.insert(signLength, std::u16string(size_t(spec.precision) - (body.size() - signLength), u'0'));
    Pad(out, body, spec, signLength);
}

void FormatDouble(VnString& out, double value, char16_t conv, const Spec& spec) {
    char format[16];
    std::snprintf(format, sizeof format, "%%%s%s%s.%d%c", spec.plus ? "+" : "", spec.space ? " " : "",
                  spec.alt ? "#" : "", spec.precision < 0 ? 6 : std::min(spec.precision, 60), char(conv));
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    std::u16string body(buffer, buffer + std::strlen(buffer));
    Pad(out, body, spec, (!body.empty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' ')) ? 1 : 0);
}

}  // namespace

VnString VnString::FormatList(std::u16string_view format, const VnFormatArg* args, size_t count) {
    VnString out;
    size_t next = 0;
    auto take = [&]() -> const VnFormatArg* { return next < count ? &args[next++] : nullptr; };
    size_t i = 0;
    while (i < format.size()) {
        size_t percent = format.find(u'%', i);
        if (percent == std::u16string_view::npos) {
            out.Append(format.substr(i));
            break;
        }
        out.Append(format.substr(i, percent - i));
        i = percent + 1;
        if (i >= format.size()) {
            out.Append(u'%');
            break;
        }
        if (format[i] == u'%') {
            out.Append(u'%');
            ++i;
            continue;
        }
        Spec spec;
        for (; i < format.size(); ++i) {
            char16_t f = format[i];
            if (f == u'-') spec.left = true;
            else if (f == u'0') spec.zero = true;
            else if (f == u'+') spec.plus = true;
            else if (f == u' ') spec.space = true;
            else if (f == u'#') spec.alt = true;
            else break;
        }
        if (i < format.size() && format[i] == u'*') {
            const VnFormatArg* a = take();
            spec.width = a ? int(a->AsSigned()) : 0;
            if (spec.width < 0) spec.left = true, spec.width = -spec.width;
            ++i;
        }
        while (i < format.size() && format[i] >= u'0' && format[i] <= u'9')
            spec.width = std::min(spec.width * 10 + (format[i++] - u'0'), 4096);
        if (i < format.size() && format[i] == u'.') {
            spec.precision = 0;
            ++i;
            if (i < format.size() && format[i] == u'*') {
                const VnFormatArg* a = take();
                spec.precision = a ? std::max(0, int(a->AsSigned())) : 0;
                ++i;
            }
            while (i < format.size() && format[i] >= u'0' && format[i] <= u'9')
                spec.precision = std::min(spec.precision * 10 + (format[i++] - u'0'), 4096);
        }
        // Length modifiers: I64, ll, l, h, hh, I32, z.
        if (format.substr(i, 3) == u"I64") spec.is64 = true, i += 3;
        else if (format.substr(i, 3) == u"I32") i += 3;
        else if (format.substr(i, 2) == u"ll") spec.is64 = true, i += 2;
        else if (i < format.size() && (format[i] == u'l' || format[i] == u'h' || format[i] == u'z' || format[i] == u'w'))
            ++i;
        if (i >= format.size()) break;
        char16_t conv = format[i++];
        const VnFormatArg* arg = take();
        if (!arg) continue;  // missing argument: nothing is written
        switch (conv) {
            case u's':
            case u'S': {
                std::u16string_view text = arg->kind() == VnFormatArg::kString ? arg->str() : std::u16string_view();
                if (spec.precision >= 0 && size_t(spec.precision) < text.size()) text = text.substr(0, size_t(spec.precision));
                Spec noZero = spec;
                noZero.zero = false;
                Pad(out, text, noZero);
                break;
            }
            case u'c':
            case u'C': {
                char16_t c = char16_t(arg->AsUnsigned());
                Spec noZero = spec;
                noZero.zero = false;
                Pad(out, std::u16string_view(&c, 1), noZero);
                break;
            }
            case u'd':
            case u'i':
            case u'u':
            case u'x':
            case u'X':
            case u'o': FormatInteger(out, *arg, conv, spec); break;
            case u'f':
            case u'F':
            case u'g':
            case u'G':
            case u'e':
            case u'E': FormatDouble(out, arg->AsDouble(), conv, spec); break;
            default:
                // Unknown conversion: written as it stands, argument consumed.
                out.Append(u'%');
                out.Append(conv);
                break;
        }
    }
    return out;
}

namespace {

// Parses an optional sign and decimal digits; stops at the first non-digit.
template <class T>
T ParseSigned(std::u16string_view text) {
    const VnStringGlobals& g = VnStringGlobals::Get();
    size_t i = 0;
    while (i < text.size() && g.IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    unsigned long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + unsigned(text[i] - u'0');
        if (value > (1ULL << 63)) value = (1ULL << 63);  // saturate instead of overflowing
    }
    unsigned long long limit = negative ? static_cast<unsigned long long>(std::numeric_limits<T>::max()) + 1ULL
                                        : static_cast<unsigned long long>(std::numeric_limits<T>::max());
    if (value > limit) value = limit;
    return negative ? static_cast<T>(0ULL - value) : static_cast<T>(value);
}

}  // namespace

int32_t VnString::ParseInt(std::u16string_view text) { return ParseSigned<int32_t>(text); }

int64_t VnString::ParseInt64(std::u16string_view text) { return ParseSigned<int64_t>(text); }

double VnString::ParseDouble(std::u16string_view text) {
    std::string narrow;
    for (char16_t c : text.substr(0, 128)) narrow.push_back(c < 128 ? char(c) : '?');
    char* end = nullptr;
    double value = std::strtod(narrow.c_str(), &end);
    return std::isfinite(value) ? value : 0.0;
}

VnString VnString::FromInt(int64_t value) { return Format(u"%I64d", static_cast<long long>(value)); }

VnString VnString::FromUtf8(std::string_view utf8) {
    // Never more UTF-16 units than bytes, so the string is written in place;
    // a run of ASCII, the usual case for paths, is copied unit by unit.
    if (utf8.empty()) return VnString();
    VnString result;
    char16_t* out = result.GetBuffer(int32_t(utf8.size()));
    int32_t written = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out[written++] = char16_t(utf8[i++]);
            continue;
        }
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = 0xFFFD;
        size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : size_t(-1);
        if (extra == size_t(-1) || i + extra >= utf8.size() + (extra ? 0 : 1)) {
            if (extra == 0) cp = c;
            ++i;
        } else {
            cp = extra == 0 ? c : (c & (0x3F >> extra));
            bool valid = true;
            for (size_t k = 1; k <= extra; ++k) {
                unsigned char cont = static_cast<unsigned char>(utf8[i + k]);
                if ((cont & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                cp = (cp << 6) | (cont & 0x3F);
            }
            // A surrogate written as three bytes is not UTF-8 (Windows reads
            // it as U+FFFD too): decoding it would give a lone surrogate that
            // ToUtf8 writes back as U+FFFD, so the text would not read back
            // the same.
            if (valid && extra == 2 && cp >= 0xD800 && cp <= 0xDFFF) valid = false;
            if (valid) {
                i += extra + 1;
            } else {
                cp = 0xFFFD;
                ++i;
            }
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out[written++] = char16_t(0xD800 + (cp >> 10));
            out[written++] = char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out[written++] = cp > 0x10FFFF ? char16_t(0xFFFD) : char16_t(cp);
        }
    }
    result.ReleaseBuffer(written);
    return result;
}

std::string VnString::ToUtf8() const {
    std::string out;
    AppendUtf8(out);
    return out;
}

void VnString::AppendUtf8(std::string& out) const { VnAppendUtf8(out, View()); }

void VnAppendUtf8(std::string& out, std::u16string_view text) {
    // Written into room for the worst case (three bytes a UTF-16 unit; a
    // surrogate pair is two units for four bytes), then cut to size: paths and
    // log lines are converted by the thousand, and a byte at a time with
    // push_back was most of their cost.
    const size_t length = text.size();
    const size_t start = out.size();
    out.resize(start + length * 3);
    char* next = out.data() + start;
    for (size_t i = 0; i < length; ++i) {
        uint32_t cp = text[i];
        if (cp < 0x80) {
            *next++ = char(cp);
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        if (cp < 0x800) {
            *next++ = char(0xC0 | (cp >> 6));
            *next++ = char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *next++ = char(0xE0 | (cp >> 12));
            *next++ = char(0x80 | ((cp >> 6) & 0x3F));
            *next++ = char(0x80 | (cp & 0x3F));
        } else {
            *next++ = char(0xF0 | (cp >> 18));
            *next++ = char(0x80 | ((cp >> 12) & 0x3F));
            *next++ = char(0x80 | ((cp >> 6) & 0x3F));
            *next++ = char(0x80 | (cp & 0x3F));
        }
    }
    out.resize(size_t(next - out.data()));
}

VnString VnString::FromWide(const wchar_t* text) {
    if (!text) return VnString();
    if constexpr (sizeof(wchar_t) == 2) return VnString(reinterpret_cast<const char16_t*>(text));
    std::u16string out;
    for (; *text; ++text) {
        uint32_t cp = static_cast<uint32_t>(*text);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp > 0x10FFFF ? 0xFFFD : cp));
        }
    }
    return VnString(std::u16string_view(out));
}

std::wstring VnString::ToWide() const {
    if constexpr (sizeof(wchar_t) == 2) return std::wstring(reinterpret_cast<const wchar_t*>(chars_), size_t(GetLength()));
    std::wstring out;
    for (int32_t i = 0; i < GetLength(); ++i) {
        uint32_t cp = chars_[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < GetLength() && chars_[i + 1] >= 0xDC00 && chars_[i + 1] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (chars_[++i] - 0xDC00);
        out.push_back(static_cast<wchar_t>(cp));
    }
    return out;
}

size_t VnStringHashBase::operator()(std::u16string_view s) const noexcept {
    size_t h = 1469598103934665603ULL & size_t(-1);
    for (char16_t c : s) h = (h ^ c) * (sizeof(size_t) == 8 ? size_t(1099511628211ULL) : size_t(16777619U));
    return h;
}

size_t VnStringHashNoCase::operator()(std::u16string_view s) const noexcept {
    const VnStringGlobals& g = VnStringGlobals::Get();
    size_t h = 1469598103934665603ULL & size_t(-1);
    for (char16_t c : s) h = (h ^ g.Fold(c)) * (sizeof(size_t) == 8 ? size_t(1099511628211ULL) : size_t(16777619U));
    return h;
}
