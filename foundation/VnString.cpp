// Sharing, copy-on-write and the editing operations of VnString.
#include "VnString.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "VnCharSearch.h"

void VnStringData::AddRef() {
    int32_t current = refs.load(std::memory_order_relaxed);
    if (current == kVnLiteralRefs || current < 0) return;
    refs.fetch_add(1, std::memory_order_relaxed);
}

void VnStringData::Release() {
    int32_t current = refs.load(std::memory_order_relaxed);
    if (current == kVnLiteralRefs) return;
    if (current < 0 || refs.fetch_sub(1, std::memory_order_acq_rel) == 1) manager->Free(this);
}

namespace {

IVnStringManager* DefaultManager() { return VnStringGlobals::Get().DefaultManager(); }

int32_t LengthOf(const char16_t* text) {
    if (!text) return 0;
    const char16_t* end = text;
    while (*end) ++end;
    return static_cast<int32_t>(end - text);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return std::max(low, std::min(value, high)); }

}  // namespace

VnString::VnString() { Attach(DefaultManager()->GetEmpty()); }

VnString::VnString(const char16_t* text) : VnString(text, LengthOf(text)) {}

VnString::VnString(const char16_t* text, int32_t length) {
    Attach(DefaultManager()->GetEmpty());
    Assign(text, length);
}

VnString::VnString(std::u16string_view text) : VnString(text.data(), static_cast<int32_t>(text.size())) {}

VnString::VnString(char16_t c, int32_t repeat) {
    Attach(DefaultManager()->GetEmpty());
    if (repeat <= 0) return;
    char16_t* out = PrepareWrite(repeat);
    std::fill(out, out + repeat, c);
    SetLength(repeat);
}

VnString::VnString(const VnString& other) {
    VnStringData* data = other.Data();
    if (data->IsLocked()) {
        // A locked buffer is being written directly: it is never shared.
        Attach(data->manager->GetEmpty());
        Assign(other.chars_, data->length);
    } else {
        data->AddRef();
        Attach(data);
    }
}

VnString::VnString(VnString&& other) noexcept : chars_(other.chars_) {
    other.Attach(Data()->manager->GetEmpty());
}

VnString::~VnString() { Data()->Release(); }

VnString& VnString::operator=(const VnString& other) {
    if (this != &other) {
        VnString copy(other);
        std::swap(chars_, copy.chars_);
    }
    return *this;
}

VnString& VnString::operator=(VnString&& other) noexcept {
    if (this != &other) std::swap(chars_, other.chars_);
    return *this;
}

VnString& VnString::operator=(const char16_t* text) {
    Assign(text, LengthOf(text));
    return *this;
}

VnString& VnString::operator=(std::u16string_view text) {
    Assign(text.data(), static_cast<int32_t>(text.size()));
    return *this;
}

VnString VnString::FromLiteralData(VnStringData* data) {
    VnString s;
    if (!data->manager) data->manager = DefaultManager();
    s.Attach(data);  // the empty buffer it replaced is never counted
    return s;
}

void VnString::Assign(const char16_t* text, int32_t length) {
    if (length <= 0) {
        Empty();
        return;
    }
    // The source may lie inside our own buffer: copy through a temporary then.
    if (text >= chars_ && text <= chars_ + GetLength()) {
        VnString copy(text, length);
        std::swap(chars_, copy.chars_);
        return;
    }
    VnStringData* data = Data();
    if (data->IsShared() || data->IsLiteral() || data->capacity < length) {
        VnStringData* fresh = DefaultManager()->Allocate(length);
        data->Release();
        Attach(fresh);
    }
    std::memcpy(chars_, text, size_t(length) * sizeof(char16_t));
    SetLength(length);
}

void VnString::Empty() {
    VnStringData* data = Data();
    if (data->length == 0 && !data->IsLocked()) return;
    data->Release();
    Attach(DefaultManager()->GetEmpty());
}

char16_t* VnString::PrepareWrite(int32_t length) {
    VnStringData* data = Data();
    bool exclusive = !data->IsShared() && !data->IsLiteral() && data != data->manager->GetEmpty();
    if (exclusive && data->capacity >= length) return chars_;
    int32_t oldLength = data->length;
    if (exclusive) {
        int32_t grown = std::max(length, data->capacity + data->capacity / 2);
        int32_t refs = data->refs.load();
        VnStringData* moved = data->manager->Reallocate(data, grown);
        moved->refs.store(refs);
        Attach(moved);
        return chars_;
    }
    IVnStringManager* manager = data->manager ? data->manager : DefaultManager();
    VnStringData* fresh = manager->Allocate(std::max(length, oldLength));
    std::memcpy(fresh->Chars(), chars_, size_t(oldLength) * sizeof(char16_t));
    fresh->length = oldLength;
    fresh->Chars()[oldLength] = 0;
    data->Release();
    Attach(fresh);
    return chars_;
}

void VnString::SetLength(int32_t length) {
    Data()->length = length;
    chars_[length] = 0;
}

void VnString::SetAt(int32_t index, char16_t c) {
    if (index < 0 || index >= GetLength()) return;
    PrepareWrite(GetLength())[index] = c;
}

char16_t* VnString::GetBuffer(int32_t minCapacity) {
    char16_t* out = PrepareWrite(std::max(minCapacity, GetLength()));
    Data()->refs.store(kVnLockedRefs);
    return out;
}

void VnString::ReleaseBuffer(int32_t newLength) {
    VnStringData* data = Data();
    if (data == data->manager->GetEmpty()) return;
    if (newLength < 0) {
        newLength = 0;
        while (newLength < data->capacity && chars_[newLength]) ++newLength;
    }
    newLength = std::min(newLength, data->capacity);
    data->refs.store(1);
    SetLength(newLength);
}

char16_t* VnString::LockBuffer() { return GetBuffer(GetLength()); }

void VnString::UnlockBuffer() {
    VnStringData* data = Data();
    if (data->IsLocked()) data->refs.store(1);
}

int VnString::Compare(std::u16string_view other) const {
    int result = View().compare(other);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int VnString::CompareNoCase(std::u16string_view other) const { return CompareNoCase(View(), other); }

int VnString::CompareNoCase(std::u16string_view a, std::u16string_view b, int32_t maxLength) {
    const VnStringGlobals& g = VnStringGlobals::Get();
    size_t limit = maxLength < 0 ? std::max(a.size(), b.size()) : size_t(maxLength);
    for (size_t i = 0; i < limit; ++i) {
        char16_t ca = i < a.size() ? g.Fold(a[i]) : 0;
        char16_t cb = i < b.size() ? g.Fold(b[i]) : 0;
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

bool VnString::StartsWith(std::u16string_view prefix) const { return View().starts_with(prefix); }

bool VnString::StartsWithNoCase(std::u16string_view prefix) const {
    return prefix.size() <= size_t(GetLength()) && CompareNoCase(View().substr(0, prefix.size()), prefix) == 0;
}

bool VnString::EndsWith(std::u16string_view suffix) const { return View().ends_with(suffix); }

bool VnString::EndsWithNoCase(std::u16string_view suffix) const {
    return suffix.size() <= size_t(GetLength()) &&
           CompareNoCase(View().substr(GetLength() - suffix.size()), suffix) == 0;
}

int32_t VnString::Find(char16_t c, int32_t start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t at = VnFindChar(View(), c, size_t(start));
    return at == std::u16string_view::npos ? -1 : int32_t(at);
}

int32_t VnString::Find(std::u16string_view sub, int32_t start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t at = VnFindText(View(), sub, size_t(start));
    return at == std::u16string_view::npos ? -1 : int32_t(at);
}

int32_t VnString::FindNoCase(std::u16string_view sub, int32_t start) const {
    if (start < 0) return -1;
    std::u16string_view text = View();
    if (sub.size() > text.size()) return -1;
    if (sub.empty()) return size_t(start) <= text.size() ? start : -1;
    // The needle is folded once; a position is compared only when its first
    // character matches.
    const VnStringGlobals& g = VnStringGlobals::Get();
    char16_t stackFolded[64];
    std::u16string heapFolded;
    char16_t* folded = stackFolded;
    if (sub.size() > std::size(stackFolded)) {
        heapFolded.resize(sub.size());
        folded = heapFolded.data();
    }
    for (size_t k = 0; k < sub.size(); ++k) folded[k] = g.Fold(sub[k]);
    for (size_t i = size_t(start); i + sub.size() <= text.size(); ++i) {
        if (g.Fold(text[i]) != folded[0]) continue;
        size_t k = 1;
        while (k < sub.size() && g.Fold(text[i + k]) == folded[k]) ++k;
        if (k == sub.size()) return int32_t(i);
    }
    return -1;
}

int32_t VnString::ReverseFind(char16_t c) const {
    size_t at = View().rfind(c);
    return at == std::u16string_view::npos ? -1 : int32_t(at);
}

int32_t VnString::FindOneOf(std::u16string_view set, int32_t start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t at = View().find_first_of(set, size_t(start));
    return at == std::u16string_view::npos ? -1 : int32_t(at);
}

VnString VnString::Left(int32_t count) const {
    count = Clamp(count, 0, GetLength());
    return count == GetLength() ? *this : VnString(chars_, count);
}

VnString VnString::Right(int32_t count) const {
    count = Clamp(count, 0, GetLength());
    return count == GetLength() ? *this : VnString(chars_ + GetLength() - count, count);
}

VnString VnString::Mid(int32_t start, int32_t count) const {
    start = Clamp(start, 0, GetLength());
    int32_t available = GetLength() - start;
    count = count < 0 ? available : Clamp(count, 0, available);
    if (start == 0 && count == GetLength()) return *this;
    return VnString(chars_ + start, count);
}

VnString& VnString::Append(std::u16string_view text) {
    if (text.empty()) return *this;
    int32_t oldLength = GetLength();
    int32_t added = int32_t(text.size());
    if (text.data() >= chars_ && text.data() <= chars_ + oldLength) {
        VnString copy(text);  // appending a piece of ourselves
        return Append(copy.View());
    }
    char16_t* out = PrepareWrite(oldLength + added);
    std::memcpy(out + oldLength, text.data(), size_t(added) * sizeof(char16_t));
    SetLength(oldLength + added);
    return *this;
}

VnString& VnString::Append(char16_t c) { return Append(std::u16string_view(&c, 1)); }

void VnString::Insert(int32_t index, std::u16string_view text) {
    index = Clamp(index, 0, GetLength());
    VnString result(chars_, index);
    result.Append(text);
    result.Append(View().substr(size_t(index)));
    *this = std::move(result);
}

void VnString::Delete(int32_t index, int32_t count) {
    int32_t length = GetLength();
    if (index < 0 || index >= length || count <= 0) return;
    count = std::min(count, length - index);
    char16_t* out = PrepareWrite(length);
    std::memmove(out + index, out + index + count, size_t(length - index - count) * sizeof(char16_t));
    SetLength(length - count);
}

int32_t VnString::Replace(std::u16string_view from, std::u16string_view to) {
    if (from.empty()) return 0;
    const std::u16string_view text = View();
    size_t at = VnFindText(text, from);
    if (at == std::u16string_view::npos) return 0;
    // Counted first, so that the result is allocated once at its final size.
    int32_t count = 0;
    for (size_t next = at; next != std::u16string_view::npos; next = VnFindText(text, from, next + from.size())) ++count;
    const int64_t length = int64_t(text.size()) + int64_t(count) * (int64_t(to.size()) - int64_t(from.size()));
    VnString result;
    char16_t* out = result.PrepareWrite(int32_t(length));
    size_t done = 0;
    for (; at != std::u16string_view::npos; at = VnFindText(text, from, done)) {
        out = std::copy(text.data() + done, text.data() + at, out);
        out = std::copy(to.begin(), to.end(), out);
        done = at + from.size();
    }
    std::copy(text.data() + done, text.data() + text.size(), out);
    result.SetLength(int32_t(length));
    *this = std::move(result);
    return count;
}

int32_t VnString::Replace(char16_t from, char16_t to) {
    if (Find(from) < 0) return 0;
    char16_t* out = PrepareWrite(GetLength());
    int32_t count = 0;
    for (int32_t i = 0; i < GetLength(); ++i)
        if (out[i] == from) out[i] = to, ++count;
    return count;
}

int32_t VnString::Remove(char16_t c) {
    if (Find(c) < 0) return 0;
    char16_t* out = PrepareWrite(GetLength());
    int32_t kept = 0, length = GetLength();
    for (int32_t i = 0; i < length; ++i)
        if (out[i] != c) out[kept++] = out[i];
    SetLength(kept);
    return length - kept;
}

void VnString::Truncate(int32_t length) {
    if (length < 0 || length >= GetLength()) return;
    PrepareWrite(GetLength());
    SetLength(length);
}

void VnString::MakeLower() {
    const VnStringGlobals& g = VnStringGlobals::Get();
    int32_t length = GetLength();
    if (length == 0) return;
    char16_t* out = PrepareWrite(length);
    for (int32_t i = 0; i < length; ++i) out[i] = g.Fold(out[i]);
}

void VnString::MakeUpper() {
    const VnStringGlobals& g = VnStringGlobals::Get();
    int32_t length = GetLength();
    if (length == 0) return;
    char16_t* out = PrepareWrite(length);
    for (int32_t i = 0; i < length; ++i) out[i] = g.Upper(out[i]);
}

void VnString::MakeReverse() {
    int32_t length = GetLength();
    if (length == 0) return;
    char16_t* out = PrepareWrite(length);
    std::reverse(out, out + length);
}

VnString& VnString::Trim() { return TrimRight().TrimLeft(); }

VnString& VnString::TrimLeft() {
    const VnStringGlobals& g = VnStringGlobals::Get();
    int32_t skip = 0;
    while (skip < GetLength() && g.IsSpace(chars_[skip])) ++skip;
    if (skip) Delete(0, skip);
    return *this;
}

VnString& VnString::TrimRight() {
    const VnStringGlobals& g = VnStringGlobals::Get();
    int32_t end = GetLength();
    while (end > 0 && g.IsSpace(chars_[end - 1])) --end;
    Truncate(end);
    return *this;
}

VnString& VnString::Trim(char16_t c) { return TrimRight(c).TrimLeft(c); }

VnString& VnString::TrimLeft(char16_t c) {
    int32_t skip = 0;
    while (skip < GetLength() && chars_[skip] == c) ++skip;
    if (skip) Delete(0, skip);
    return *this;
}

VnString& VnString::TrimRight(char16_t c) {
    int32_t end = GetLength();
    while (end > 0 && chars_[end - 1] == c) --end;
    Truncate(end);
    return *this;
}

VnString operator+(const VnString& a, std::u16string_view b) {
    VnString result;
    char16_t* out = result.PrepareWrite(a.GetLength() + int32_t(b.size()));
    std::memcpy(out, a.c_str(), size_t(a.GetLength()) * sizeof(char16_t));
    std::memcpy(out + a.GetLength(), b.data(), b.size() * sizeof(char16_t));
    result.SetLength(a.GetLength() + int32_t(b.size()));
    return result;
}

VnString operator+(std::u16string_view a, const VnString& b) {
    VnString result(a);
    result.Append(b.View());
    return result;
}

VnString operator+(const VnString& a, char16_t b) { return a + std::u16string_view(&b, 1); }
