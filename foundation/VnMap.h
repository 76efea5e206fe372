// Hash maps by role, on std::unordered_map. String keys hash through
// VnStringHashBase (exact) or VnStringHashNoCase (case-insensitive).
#pragma once

#include <memory>
#include <unordered_map>

#include "VnArray.h"
#include "VnString.h"

template <class Key, class Value, class Hash = std::hash<Key>, class Equal = std::equal_to<Key>>
class VnMapBase {
public:
    int32_t GetCount() const { return static_cast<int32_t>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    bool Contains(const Key& key) const { return items_.find(key) != items_.end(); }
    // Copies the value into `out` when the key is present.
    bool Lookup(const Key& key, Value& out) const {
        auto it = items_.find(key);
        if (it == items_.end()) return false;
        out = it->second;
        return true;
    }
    const Value* Find(const Key& key) const {
        auto it = items_.find(key);
        return it == items_.end() ? nullptr : &it->second;
    }
    Value* Find(const Key& key) {
        auto it = items_.find(key);
        return it == items_.end() ? nullptr : &it->second;
    }
    bool RemoveKey(const Key& key) { return items_.erase(key) > 0; }
    void RemoveAll() { items_.clear(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

protected:
    std::unordered_map<Key, Value, Hash, Equal> items_;
};

template <class Key, class Value, class Hash = std::hash<Key>, class Equal = std::equal_to<Key>>
class VnMap : public VnMapBase<Key, Value, Hash, Equal> {
public:
    void SetAt(const Key& key, const Value& value) { this->items_[key] = value; }
    Value& operator[](const Key& key) { return this->items_[key]; }
};

// Map that owns its values: replacing or removing a value deletes it.
template <class Key, class Value, class Hash = std::hash<Key>, class Equal = std::equal_to<Key>>
class VnOwnedPtrMap : public VnMapBase<Key, std::unique_ptr<Value>, Hash, Equal> {
public:
    void SetAt(const Key& key, Value* value) { this->items_[key].reset(value); }
    Value* Get(const Key& key) const {
        auto it = this->items_.find(key);
        return it == this->items_.end() ? nullptr : it->second.get();
    }
};

struct VnStringKeyEqual {
    bool operator()(const VnString& a, const VnString& b) const noexcept { return a.View() == b.View(); }
};
struct VnStringKeyHash {
    size_t operator()(const VnString& s) const noexcept { return VnStringHashBase()(s.View()); }
};
struct VnStringKeyHashNoCase {
    size_t operator()(const VnString& s) const noexcept { return VnStringHashNoCase()(s.View()); }
};
struct VnStringKeyEqualNoCase {
    bool operator()(const VnString& a, const VnString& b) const noexcept { return a.CompareNoCase(b.View()) == 0; }
};

// Map from a string key to a value; CaseSensitive chooses exact or folded keys.
template <class Value, bool CaseSensitive = true>
class VnStringMap
    : public VnMap<VnString, Value, std::conditional_t<CaseSensitive, VnStringKeyHash, VnStringKeyHashNoCase>,
                   std::conditional_t<CaseSensitive, VnStringKeyEqual, VnStringKeyEqualNoCase>> {
public:
    // Keys in no particular order.
    VnStringArray GetKeys() const {
        VnStringArray keys;
        keys.Reserve(this->GetCount());
        for (const auto& item : this->items_) keys.Add(item.first);
        return keys;
    }
};

template <class Value, bool CaseSensitive = true>
class VnStringOwnedPtrMap
    : public VnOwnedPtrMap<VnString, Value, std::conditional_t<CaseSensitive, VnStringKeyHash, VnStringKeyHashNoCase>,
                           std::conditional_t<CaseSensitive, VnStringKeyEqual, VnStringKeyEqualNoCase>> {};
