// Growable arrays by role. VnArray keeps values; with Owns = true it keeps
// pointers that it owns and deletes when they leave the array.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "VnString.h"

// The storage every array shares: a std::vector with index-based access.
template <class T>
class VnArrayBase {
public:
    int32_t GetSize() const { return static_cast<int32_t>(items_.size()); }
    int32_t GetCount() const { return GetSize(); }
    bool IsEmpty() const { return items_.empty(); }
    bool IsValidIndex(int32_t i) const { return i >= 0 && i < GetSize(); }
    const T& GetAt(int32_t i) const { return items_[size_t(i)]; }
    T& ElementAt(int32_t i) { return items_[size_t(i)]; }
    const T& operator[](int32_t i) const { return items_[size_t(i)]; }
    T& operator[](int32_t i) { return items_[size_t(i)]; }
    void Reserve(int32_t n) { items_.reserve(size_t(std::max(n, 0))); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    std::vector<T>& Items() { return items_; }
    const std::vector<T>& Items() const { return items_; }

protected:
    std::vector<T> items_;
};

// Array of values.
template <class T>
class VnCoreArray : public VnArrayBase<T> {
    using VnArrayBase<T>::items_;

public:
    VnCoreArray() = default;
    VnCoreArray(std::initializer_list<T> init) { items_.assign(init); }
    int32_t Add(const T& value) {
        items_.push_back(value);
        return this->GetSize() - 1;
    }
    int32_t Add(T&& value) {
        items_.push_back(std::move(value));
        return this->GetSize() - 1;
    }
    void SetAt(int32_t i, const T& value) {
        if (this->IsValidIndex(i)) items_[size_t(i)] = value;
    }
    void InsertAt(int32_t i, const T& value) {
        i = std::clamp(i, 0, this->GetSize());
        items_.insert(items_.begin() + i, value);
    }
    void RemoveAt(int32_t i, int32_t count = 1) {
        if (!this->IsValidIndex(i) || count <= 0) return;
        count = std::min(count, this->GetSize() - i);
        items_.erase(items_.begin() + i, items_.begin() + i + count);
    }
    void RemoveAll() { items_.clear(); }
    void Append(const VnCoreArray& other) { items_.insert(items_.end(), other.items_.begin(), other.items_.end()); }
    int32_t Find(const T& value, int32_t start = 0) const {
        for (int32_t i = std::max(start, 0); i < this->GetSize(); ++i)
            if (items_[size_t(i)] == value) return i;
        return -1;
    }
    friend bool operator==(const VnCoreArray& a, const VnCoreArray& b) { return a.items_ == b.items_; }
};

// Array of pointers it owns: removing, replacing or destroying deletes them.
template <class T>
class VnOwnedPtrArray : public VnArrayBase<T*> {
    using VnArrayBase<T*>::items_;

public:
    VnOwnedPtrArray() = default;
    VnOwnedPtrArray(const VnOwnedPtrArray&) = delete;
    VnOwnedPtrArray& operator=(const VnOwnedPtrArray&) = delete;
    VnOwnedPtrArray(VnOwnedPtrArray&& other) noexcept { items_.swap(other.items_); }
    ~VnOwnedPtrArray() { RemoveAll(); }
    int32_t Add(T* value) {
        items_.push_back(value);
        return this->GetSize() - 1;
    }
    void SetAt(int32_t i, T* value) {
        if (!this->IsValidIndex(i)) return;
        delete items_[size_t(i)];
        items_[size_t(i)] = value;
    }
    void InsertAt(int32_t i, T* value) {
        i = std::clamp(i, 0, this->GetSize());
        items_.insert(items_.begin() + i, value);
    }
    void RemoveAt(int32_t i) {
        if (!this->IsValidIndex(i)) return;
        delete items_[size_t(i)];
        items_.erase(items_.begin() + i);
    }
    // Takes the pointer out without deleting it.
    T* Detach(int32_t i) {
        if (!this->IsValidIndex(i)) return nullptr;
        T* value = items_[size_t(i)];
        items_.erase(items_.begin() + i);
        return value;
    }
    void RemoveAll() {
        for (T* p : items_) delete p;
        items_.clear();
    }
};

// The template by role: VnArray<T> keeps values, VnArray<T, true> owns pointers to T.
template <class T, bool Owns = false>
using VnArray = std::conditional_t<Owns, VnOwnedPtrArray<T>, VnCoreArray<T>>;

// Array of strings: argument lists, folder lists and split results.
class VnStringArray : public VnCoreArray<VnString> {
public:
    using VnCoreArray<VnString>::VnCoreArray;
    int32_t FindNoCase(std::u16string_view value, int32_t start = 0) const;
    // Joins the items with the separator between them.
    VnString Join(std::u16string_view separator) const;
    // Cuts text at every occurrence of the separator; empty pieces are kept.
    static VnStringArray Split(std::u16string_view text, std::u16string_view separator);
};

// Array of strings without duplicates (exact or case-insensitive comparison).
class VnStringUniqueList : public VnStringArray {
public:
    explicit VnStringUniqueList(bool ignoreCase = false) : ignoreCase_(ignoreCase) {}
    // Adds the value unless it is already present; returns its index either way.
    int32_t Add(const VnString& value);
    bool Contains(std::u16string_view value) const { return IndexOf(value) >= 0; }
    int32_t IndexOf(std::u16string_view value) const;

private:
    bool ignoreCase_;
};
