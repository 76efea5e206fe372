// Process-wide string state: the default manager, the folding and class tables,
// and the platform's case conversion for characters above 255.
#include "VnString.h"

#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <clocale>
#include <cwctype>
#include <locale.h>
#endif

namespace {

// Buffers from the C heap; the empty buffer is static and never counted.
class VnDefaultStringManager final : public IVnStringManager {
public:
    VnDefaultStringManager() : empty_(u"") { empty_.header.manager = this; }

    VnStringData* Allocate(int32_t capacity) override {
        if (capacity < 0) capacity = 0;
        void* block = std::malloc(sizeof(VnStringData) + (size_t(capacity) + 1) * sizeof(char16_t));
        if (!block) throw std::bad_alloc();
        auto* data = new (block) VnStringData{this, 0, capacity, 1};
        data->Chars()[0] = 0;
        return data;
    }

    VnStringData* Reallocate(VnStringData* data, int32_t capacity) override {
        void* block = std::realloc(data, sizeof(VnStringData) + (size_t(capacity) + 1) * sizeof(char16_t));
        if (!block) throw std::bad_alloc();
        auto* grown = static_cast<VnStringData*>(block);
        grown->capacity = capacity;
        return grown;
    }

    void Free(VnStringData* data) override {
        data->~VnStringData();
        std::free(data);
    }

    VnStringData* GetEmpty() override { return &empty_.header; }

private:
    VnLiteralStorage<1> empty_;
};

char16_t PlatformLower(char16_t c) {
#ifdef _WIN32
    wchar_t w = static_cast<wchar_t>(c);
    CharLowerBuffW(&w, 1);
    return static_cast<char16_t>(w);
#else
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    wint_t lower = utf8 ? towlower_l(static_cast<wint_t>(c), utf8) : towlower(static_cast<wint_t>(c));
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : c;
#endif
}

char16_t PlatformUpper(char16_t c) {
#ifdef _WIN32
    wchar_t w = static_cast<wchar_t>(c);
    CharUpperBuffW(&w, 1);
    return static_cast<char16_t>(w);
#else
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    wint_t upper = utf8 ? towupper_l(static_cast<wint_t>(c), utf8) : towupper(static_cast<wint_t>(c));
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
#endif
}

bool PlatformIsSpace(char16_t c) {
    // Unicode white space above Latin-1, as the Windows character-type tables classify it.
    return c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

}  // namespace

VnStringGlobals& VnStringGlobals::Get() {
    static VnStringGlobals globals;
    return globals;
}

VnStringGlobals::VnStringGlobals() {
    static VnDefaultStringManager defaultManager;
    manager_ = &defaultManager;
    for (int c = 0; c < 256; ++c) {
        char16_t lower = static_cast<char16_t>(c), upper = static_cast<char16_t>(c);
        uint8_t cls = 0;
        bool latinUpper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
        bool latinLower = (c >= 'a' && c <= 'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7);
        if (latinUpper) {
            lower = static_cast<char16_t>(c + 32);
            cls |= kAlpha | kUpper;
        }
        if (latinLower) {
            cls |= kAlpha | kLower;
            if (c != 0xDF && c != 0xFF) upper = static_cast<char16_t>(c - 32);
        }
        if (c == 0xFF) upper = 0x178;  // y with diaeresis has its capital above Latin-1
        if (c >= '0' && c <= '9') cls |= kDigit;
        if ((c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0) cls |= kSpace;
        if ((c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
            (c >= 0x7B && c <= 0x7E))
            cls |= kPunct;
        fold_[c] = lower;
        upper_[c] = upper;
        classes_[c] = cls;
    }
}

char16_t VnStringGlobals::FoldWide(char16_t c) { return PlatformLower(c); }

char16_t VnStringGlobals::UpperWide(char16_t c) { return PlatformUpper(c); }

bool VnStringGlobals::IsSpace(char16_t c) const { return c < 256 ? (classes_[c] & kSpace) != 0 : PlatformIsSpace(c); }
