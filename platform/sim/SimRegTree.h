// The simulated registry's content: a tree of keys per root, each key with
// its values as raw data, the way Windows keeps them.
//
// Key names compare without regard to case and keep the spelling they were
// created with. Subkeys are kept in the order Windows (as Wine shows it)
// enumerates them: by name folded to lower case, character by character.
// Values keep their creation order; writing an existing value keeps its place
// and the spelling of its name.
//
// A key removed from the tree is marked deleted, with everything below it, so
// that handles still pointing at it can tell (ERROR_KEY_DELETED).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "VnArray.h"
#include "VnPlatform.h"
#include "VnString.h"

using VnSimRegBytes = std::basic_string<uint8_t>;

// Windows keeps a registry tree at most this many keys deep below a root.
constexpr int32_t kVnSimMostKeyDepth = 512;

struct VnSimRegValueData {
    VnString name;
    uint32_t type = vnwin::kRegNone;
    VnSimRegBytes data;
};

class VnSimRegNode : public std::enable_shared_from_this<VnSimRegNode> {
public:
    VnSimRegNode(const VnString& name, VnSimRegNode* parent) : name_(name), parent_(parent) {}

    const VnString& Name() const { return name_; }
    VnSimRegNode* Parent() const { return parent_; }
    bool IsDeleted() const { return deleted_; }
    bool IsRoot() const { return parent_ == nullptr; }

    const std::vector<std::shared_ptr<VnSimRegNode>>& Subkeys() const { return subkeys_; }
    std::shared_ptr<VnSimRegNode> FindSubkey(std::u16string_view name) const;
    // Finds or adds the subkey; `added` tells which.
    std::shared_ptr<VnSimRegNode> AddSubkey(const VnString& name, bool& added);
    // Takes the subkey out of the tree and marks it and all below it deleted.
    void RemoveSubkey(const VnSimRegNode* child);
    // Marks this key and all below it deleted and empties them.
    void MarkDeleted();

    const std::vector<VnSimRegValueData>& Values() const { return values_; }
    const VnSimRegValueData* FindValue(std::u16string_view name) const;
    void SetValue(const VnString& name, uint32_t type, const VnSimRegBytes& data);
    bool DeleteValue(std::u16string_view name);
    void RemoveAllValues() { values_.clear(); }

    // Names from below the root down to this key ("Software", "Classes", ...).
    VnStringArray PathParts() const;
    const VnSimRegNode* Root() const;

private:
    size_t LowerBound(std::u16string_view name) const;

    VnString name_;
    VnSimRegNode* parent_;
    bool deleted_ = false;
    std::vector<std::shared_ptr<VnSimRegNode>> subkeys_;
    std::vector<VnSimRegValueData> values_;
};

// The stored roots. HKEY_CLASSES_ROOT is not stored: it is a view of
// HKEY_LOCAL_MACHINE\Software\Classes (and HKEY_CURRENT_USER\Software\Classes).
class VnSimRegHive {
public:
    VnSimRegHive();
    // LocalMachine, CurrentUser or Users; null for ClassesRoot.
    const std::shared_ptr<VnSimRegNode>& Root(VnRegRoot root) const;
    static const char16_t* RootName(VnRegRoot root);  // "HKEY_LOCAL_MACHINE", ...
    // Accepts the full names and the short forms HKLM, HKCU, HKCR, HKU.
    static bool RootFromName(std::u16string_view name, VnRegRoot& root);
    static VnRegRoot RootOf(const VnSimRegNode& node);

    // Walks down from `from`; null when a key on the way is missing.
    static std::shared_ptr<VnSimRegNode> Find(std::shared_ptr<VnSimRegNode> from, const VnStringArray& parts);
    // Walks down, adding missing keys; `created` tells whether the last one was added.
    static std::shared_ptr<VnSimRegNode> Create(std::shared_ptr<VnSimRegNode> from, const VnStringArray& parts,
                                                bool& created);

    // Every stored key, parents before children, in enumeration order, with
    // its path below the root ("Software\\Classes"; empty for the root). The
    // path is kept as the walk goes, never rebuilt from the root.
    using Visitor = std::function<void(VnRegRoot, const VnSimRegNode&, std::u16string_view path)>;
    void VisitAll(const Visitor& visit) const;
    void Clear();

private:
    std::shared_ptr<VnSimRegNode> machine_, user_, users_;
};

// Conversions between the typed values of the platform interface and raw
// registry data (strings as UTF-16LE with their terminating zero).
VnSimRegBytes VnSimRegEncode(const VnRegValue& value);
VnRegValue VnSimRegDecode(uint32_t type, const VnSimRegBytes& data);
