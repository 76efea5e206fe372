// VnString: reference-counted, copy-on-write UTF-16 text.
//
// The object is a single pointer to the characters. A header stored just before
// the characters holds, in this order: the manager that allocated the buffer,
// the length, the capacity (both in characters) and the reference count.
// Two reference-count values are special: kVnLiteralRefs marks a buffer built
// from a literal (never counted, never freed) and kVnLockedRefs marks a buffer
// locked for direct writing (never shared).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t kVnLiteralRefs = 2147482647;  // 0x7FFFFC17
constexpr int32_t kVnLockedRefs = -1;

class IVnStringManager;

struct VnStringData {
    IVnStringManager* manager;
    int32_t length;
    int32_t capacity;
    std::atomic<int32_t> refs;

    char16_t* Chars() { return reinterpret_cast<char16_t*>(this + 1); }
    const char16_t* Chars() const { return reinterpret_cast<const char16_t*>(this + 1); }
    bool IsLiteral() const { return refs.load(std::memory_order_relaxed) == kVnLiteralRefs; }
    bool IsLocked() const { return refs.load(std::memory_order_relaxed) < 0; }
    bool IsShared() const { return refs.load(std::memory_order_acquire) > 1; }
    void AddRef();
    void Release();
};

// Allocates string buffers. Capacity excludes the terminating zero, which is
// always allocated as well.
class IVnStringManager {
public:
    virtual ~IVnStringManager() = default;
    virtual VnStringData* Allocate(int32_t capacity) = 0;
    virtual VnStringData* Reallocate(VnStringData* data, int32_t capacity) = 0;
    virtual void Free(VnStringData* data) = 0;
    virtual VnStringData* GetEmpty() = 0;
};

// Process-wide string state: the managers, the 256-entry case-folding table and
// the character-class table used for comparison and trimming.
class VnStringGlobals {
public:
    enum CharClass : uint8_t { kSpace = 1, kDigit = 2, kAlpha = 4, kUpper = 8, kLower = 16, kPunct = 32 };

    static VnStringGlobals& Get();
    IVnStringManager* DefaultManager() const { return manager_; }
    // Case folding for comparison, and upper case; Latin-1 from the tables
    // (inline: these run for every character of every path compared).
    char16_t Fold(char16_t c) const { return c < 256 ? fold_[c] : FoldWide(c); }
    char16_t Upper(char16_t c) const { return c < 256 ? upper_[c] : UpperWide(c); }
    bool IsSpace(char16_t c) const;
    uint8_t ClassOf(char16_t c) const { return c < 256 ? classes_[c] : 0; }

private:
    VnStringGlobals();
    static char16_t FoldWide(char16_t c);
    static char16_t UpperWide(char16_t c);
    IVnStringManager* manager_;
    char16_t fold_[256];
    char16_t upper_[256];
    uint8_t classes_[256];
};

class VnString;

// The UTF-8 form of UTF-16 text (a lone surrogate as U+FFFD), appended to `out`.
void VnAppendUtf8(std::string& out, std::u16string_view text);

// One argument of VnString::Format; built implicitly from strings and numbers.
class VnFormatArg {
public:
    enum Kind { kString, kSigned, kUnsigned, kDouble, kPointer };
    VnFormatArg(const VnString& s);
    VnFormatArg(const char16_t* s);
    VnFormatArg(std::u16string_view s) : kind_(kString), str_(s) {}
    VnFormatArg(int v) : kind_(kSigned), i_(v) {}
    VnFormatArg(long v) : kind_(kSigned), i_(v) {}
    VnFormatArg(long long v) : kind_(kSigned), i_(v) {}
    VnFormatArg(unsigned v) : kind_(kUnsigned), u_(v) {}
    VnFormatArg(unsigned long v) : kind_(kUnsigned), u_(v) {}
    VnFormatArg(unsigned long long v) : kind_(kUnsigned), u_(v) {}
    VnFormatArg(bool v) : kind_(kSigned), i_(v ? 1 : 0) {}
    VnFormatArg(char16_t c) : kind_(kUnsigned), u_(c) {}
    VnFormatArg(double v) : kind_(kDouble), d_(v) {}
    Kind kind() const { return kind_; }
    std::u16string_view str() const { return str_; }
    long long AsSigned() const;
    unsigned long long AsUnsigned() const;
    double AsDouble() const;

private:
    Kind kind_;
    std::u16string_view str_;
    long long i_ = 0;
    unsigned long long u_ = 0;
    double d_ = 0;
};

class VnString {
public:
    VnString();
    VnString(const char16_t* text);
    VnString(const char16_t* text, int32_t length);
    VnString(std::u16string_view text);
    VnString(char16_t c, int32_t repeat);
    VnString(const VnString& other);
    VnString(VnString&& other) noexcept;
    ~VnString();
    VnString& operator=(const VnString& other);
    VnString& operator=(VnString&& other) noexcept;
    VnString& operator=(const char16_t* text);
    VnString& operator=(std::u16string_view text);

    // A string over a buffer with literal reference count (see VnLiteral).
    static VnString FromLiteralData(VnStringData* data);
    static VnString FromUtf8(std::string_view utf8);
    static VnString FromWide(const wchar_t* text);  // UTF-16 or UTF-32 wchar_t
    std::string ToUtf8() const;
    void AppendUtf8(std::string& out) const;  // ToUtf8 onto the end of `out`
    std::wstring ToWide() const;

    int32_t GetLength() const { return Data()->length; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    const char16_t* c_str() const { return chars_; }
    operator std::u16string_view() const { return {chars_, static_cast<size_t>(GetLength())}; }
    std::u16string_view View() const { return *this; }
    char16_t GetAt(int32_t index) const { return chars_[index]; }
    char16_t operator[](int32_t index) const { return chars_[index]; }
    void SetAt(int32_t index, char16_t c);

    // Buffer access. GetBuffer unshares and locks; ReleaseBuffer unlocks and
    // sets the length (-1: up to the first zero).
    char16_t* GetBuffer(int32_t minCapacity = 0);
    void ReleaseBuffer(int32_t newLength = -1);
    char16_t* LockBuffer();
    void UnlockBuffer();
    int32_t GetRefCount() const { return Data()->refs.load(); }
    const void* DataIdentity() const { return chars_; }
    IVnStringManager* GetManager() const { return Data()->manager; }

    // Comparison. NoCase folds below 256 through the folding table and above
    // through the platform's lower-case conversion.
    int Compare(std::u16string_view other) const;
    int CompareNoCase(std::u16string_view other) const;
    static int CompareNoCase(std::u16string_view a, std::u16string_view b, int32_t maxLength = -1);
    bool EqualsNoCase(std::u16string_view other) const { return CompareNoCase(other) == 0; }
    bool StartsWith(std::u16string_view prefix) const;
    bool StartsWithNoCase(std::u16string_view prefix) const;
    bool EndsWith(std::u16string_view suffix) const;
    bool EndsWithNoCase(std::u16string_view suffix) const;

    // Searching; positions are character indexes, -1 when absent.
    int32_t Find(char16_t c, int32_t start = 0) const;
    int32_t Find(std::u16string_view sub, int32_t start = 0) const;
    int32_t FindNoCase(std::u16string_view sub, int32_t start = 0) const;
    int32_t ReverseFind(char16_t c) const;
    int32_t FindOneOf(std::u16string_view set, int32_t start = 0) const;
    bool Contains(std::u16string_view sub) const { return Find(sub) >= 0; }
    bool ContainsNoCase(std::u16string_view sub) const { return FindNoCase(sub) >= 0; }

    // Pieces (clamped to the string).
    VnString Left(int32_t count) const;
    VnString Right(int32_t count) const;
    VnString Mid(int32_t start, int32_t count = -1) const;

    // Editing (each unshares first).
    VnString& Append(std::u16string_view text);
    VnString& Append(char16_t c);
    VnString& operator+=(std::u16string_view text) { return Append(text); }
    VnString& operator+=(const VnString& text) { return Append(text.View()); }
    VnString& operator+=(const char16_t* text) { return Append(std::u16string_view(text)); }
    VnString& operator+=(char16_t c) { return Append(c); }
    void Insert(int32_t index, std::u16string_view text);
    void Delete(int32_t index, int32_t count = 1);
    int32_t Replace(std::u16string_view from, std::u16string_view to);
    int32_t Replace(char16_t from, char16_t to);
    int32_t Remove(char16_t c);
    void Truncate(int32_t length);
    void MakeLower();
    void MakeUpper();
    void MakeReverse();

    // Trimming by character class (white space unless a set is given).
    VnString& Trim();
    VnString& TrimLeft();
    VnString& TrimRight();
    VnString& Trim(char16_t c);
    VnString& TrimLeft(char16_t c);
    VnString& TrimRight(char16_t c);

    // printf-style formatting: %s strings, %d %i %u %x %X %c integers, %I64d and
    // %lld 64-bit integers, %f %g doubles, with flags, width and precision.
    template <class... Args>
    static VnString Format(std::u16string_view format, const Args&... args) {
        const VnFormatArg list[] = {VnFormatArg(args)..., VnFormatArg(0)};
        return FormatList(format, list, sizeof...(Args));
    }
    template <class... Args>
    void AppendFormat(std::u16string_view format, const Args&... args) {
        Append(Format(format, args...).View());
    }
    static VnString FormatList(std::u16string_view format, const VnFormatArg* args, size_t count);

    // Numbers (base 10; an unparsable text yields 0, leading white space and a
    // sign are accepted, conversion stops at the first non-digit).
    static int32_t ParseInt(std::u16string_view text);
    static int64_t ParseInt64(std::u16string_view text);
    static double ParseDouble(std::u16string_view text);
    static VnString FromInt(int64_t value);

    friend bool operator==(const VnString& a, const VnString& b) { return a.View() == b.View(); }
    friend bool operator==(const VnString& a, std::u16string_view b) { return a.View() == b; }
    friend bool operator==(const VnString& a, const char16_t* b) { return a.View() == std::u16string_view(b); }
    friend auto operator<=>(const VnString& a, const VnString& b) { return a.View() <=> b.View(); }
    friend VnString operator+(const VnString& a, std::u16string_view b);
    friend VnString operator+(const VnString& a, const VnString& b) { return a + b.View(); }
    friend VnString operator+(const VnString& a, const char16_t* b) { return a + std::u16string_view(b); }
    friend VnString operator+(std::u16string_view a, const VnString& b);
    friend VnString operator+(const char16_t* a, const VnString& b) { return std::u16string_view(a) + b; }
    friend VnString operator+(const VnString& a, char16_t b);

private:
    VnStringData* Data() const { return reinterpret_cast<VnStringData*>(chars_) - 1; }
    void Attach(VnStringData* data) { chars_ = data->Chars(); }
    // Makes the buffer exclusively ours with room for `length` characters,
    // keeping the current text; returns the writable characters.
    char16_t* PrepareWrite(int32_t length);
    void SetLength(int32_t length);
    void Assign(const char16_t* text, int32_t length);

    char16_t* chars_;
};

// Static storage for a literal: the header and the characters in one block.
template <size_t N>
struct VnLiteralStorage {
    VnStringData header;
    char16_t text[N];
    explicit VnLiteralStorage(const char16_t (&s)[N]) : header{nullptr, int32_t(N - 1), int32_t(N - 1), kVnLiteralRefs} {
        for (size_t i = 0; i < N; ++i) text[i] = s[i];
    }
};
static_assert(sizeof(VnStringData) % alignof(char16_t) == 0);

// VN_LIT(u"text"): a VnString over static storage that is never counted or freed.
#define VN_LIT(s)                                                         \
    ([]() -> VnString {                                                   \
        static VnLiteralStorage<sizeof(s) / sizeof(char16_t)> storage(s); \
        return VnString::FromLiteralData(&storage.header);                \
    }())

struct VnStringHashBase {
    size_t operator()(std::u16string_view s) const noexcept;
};
struct VnStringHashNoCase {
    size_t operator()(std::u16string_view s) const noexcept;
};
struct VnStringEqualNoCase {
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
        return VnString::CompareNoCase(a, b) == 0;
    }
};

template <>
struct std::hash<VnString> {
    size_t operator()(const VnString& s) const noexcept { return VnStringHashBase()(s.View()); }
};
