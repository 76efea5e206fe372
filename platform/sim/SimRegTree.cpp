#include "SimRegTree.h"

#include <algorithm>

// ---- VnSimRegNode ----

size_t VnSimRegNode::LowerBound(std::u16string_view name) const {
    auto at = std::lower_bound(subkeys_.begin(), subkeys_.end(), name,
                               [](const std::shared_ptr<VnSimRegNode>& node, std::u16string_view wanted) {
                                   return VnString::CompareNoCase(node->name_.View(), wanted) < 0;
                               });
    return size_t(at - subkeys_.begin());
}

std::shared_ptr<VnSimRegNode> VnSimRegNode::FindSubkey(std::u16string_view name) const {
    size_t at = LowerBound(name);
    if (at < subkeys_.size() && VnString::CompareNoCase(subkeys_[at]->name_.View(), name) == 0) return subkeys_[at];
    return nullptr;
}

std::shared_ptr<VnSimRegNode> VnSimRegNode::AddSubkey(const VnString& name, bool& added) {
    size_t at = LowerBound(name.View());
    added = !(at < subkeys_.size() && VnString::CompareNoCase(subkeys_[at]->name_.View(), name.View()) == 0);
    if (added) subkeys_.insert(subkeys_.begin() + std::ptrdiff_t(at), std::make_shared<VnSimRegNode>(name, this));
    return subkeys_[at];
}

void VnSimRegNode::RemoveSubkey(const VnSimRegNode* child) {
    for (size_t i = 0; i < subkeys_.size(); ++i) {
        if (subkeys_[i].get() != child) continue;
        subkeys_[i]->MarkDeleted();
        subkeys_.erase(subkeys_.begin() + std::ptrdiff_t(i));
        return;
    }
}

void VnSimRegNode::MarkDeleted() {
    deleted_ = true;
    parent_ = nullptr;
    for (auto& child : subkeys_) child->MarkDeleted();
    subkeys_.clear();
    values_.clear();
}

const VnSimRegValueData* VnSimRegNode::FindValue(std::u16string_view name) const {
    for (const auto& value : values_)
        if (VnString::CompareNoCase(value.name.View(), name) == 0 && value.name.GetLength() == int32_t(name.size()))
            return &value;
    return nullptr;
}

void VnSimRegNode::SetValue(const VnString& name, uint32_t type, const VnSimRegBytes& data) {
    if (auto* existing = const_cast<VnSimRegValueData*>(FindValue(name.View()))) {
        existing->type = type;
        existing->data = data;
        return;
    }
    values_.push_back({name, type, data});
}

bool VnSimRegNode::DeleteValue(std::u16string_view name) {
    const VnSimRegValueData* found = FindValue(name);
    if (!found) return false;
    values_.erase(values_.begin() + (found - values_.data()));
    return true;
}

VnStringArray VnSimRegNode::PathParts() const {
    std::vector<const VnSimRegNode*> chain;
    for (const VnSimRegNode* node = this; node && !node->IsRoot(); node = node->parent_) chain.push_back(node);
    VnStringArray parts;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) parts.Add((*it)->name_);
    return parts;
}

const VnSimRegNode* VnSimRegNode::Root() const {
    const VnSimRegNode* node = this;
    while (node->parent_) node = node->parent_;
    return node;
}

// ---- VnSimRegHive ----

namespace {
struct RootNames {
    VnRegRoot root;
    const char16_t* full;
    const char16_t* shortName;
};
constexpr RootNames kRootNames[] = {
    {VnRegRoot::ClassesRoot, u"HKEY_CLASSES_ROOT", u"HKCR"},
    {VnRegRoot::CurrentUser, u"HKEY_CURRENT_USER", u"HKCU"},
    {VnRegRoot::LocalMachine, u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {VnRegRoot::Users, u"HKEY_USERS", u"HKU"},
};
}  // namespace

VnSimRegHive::VnSimRegHive() { Clear(); }

void VnSimRegHive::Clear() {
    for (auto* root : {&machine_, &user_, &users_})
        if (*root) (*root)->MarkDeleted();
    machine_ = std::make_shared<VnSimRegNode>(RootName(VnRegRoot::LocalMachine), nullptr);
    user_ = std::make_shared<VnSimRegNode>(RootName(VnRegRoot::CurrentUser), nullptr);
    users_ = std::make_shared<VnSimRegNode>(RootName(VnRegRoot::Users), nullptr);
}

const std::shared_ptr<VnSimRegNode>& VnSimRegHive::Root(VnRegRoot root) const {
    static const std::shared_ptr<VnSimRegNode> none;
    switch (root) {
        case VnRegRoot::LocalMachine: return machine_;
        case VnRegRoot::CurrentUser: return user_;
        case VnRegRoot::Users: return users_;
        default: return none;
    }
}

const char16_t* VnSimRegHive::RootName(VnRegRoot root) {
    for (const auto& names : kRootNames)
        if (names.root == root) return names.full;
    return u"";
}

bool VnSimRegHive::RootFromName(std::u16string_view name, VnRegRoot& root) {
    for (const auto& names : kRootNames) {
        if (VnString::CompareNoCase(name, names.full) == 0 || VnString::CompareNoCase(name, names.shortName) == 0) {
            root = names.root;
            return true;
        }
    }
    return false;
}

VnRegRoot VnSimRegHive::RootOf(const VnSimRegNode& node) {
    VnRegRoot root = VnRegRoot::LocalMachine;
    RootFromName(node.Root()->Name().View(), root);
    return root;
}

std::shared_ptr<VnSimRegNode> VnSimRegHive::Find(std::shared_ptr<VnSimRegNode> from, const VnStringArray& parts) {
    for (const VnString& part : parts) {
        if (!from) return nullptr;
        from = from->FindSubkey(part.View());
    }
    return from;
}

std::shared_ptr<VnSimRegNode> VnSimRegHive::Create(std::shared_ptr<VnSimRegNode> from, const VnStringArray& parts,
                                                   bool& created) {
    created = false;
    for (const VnString& part : parts) from = from->AddSubkey(part, created);
    return from;
}

namespace {
// Recursion as deep as the tree: at most kVnSimMostKeyDepth levels.
void VisitTree(VnRegRoot root, const VnSimRegNode& node, std::u16string& path, const VnSimRegHive::Visitor& visit) {
    visit(root, node, path);
    for (const auto& child : node.Subkeys()) {
        const size_t kept = path.size();
        if (kept) path += u'\\';
        path += child->Name().View();
        VisitTree(root, *child, path, visit);
        path.resize(kept);
    }
}
}  // namespace

void VnSimRegHive::VisitAll(const Visitor& visit) const {
    std::u16string path;
    for (VnRegRoot root : {VnRegRoot::LocalMachine, VnRegRoot::CurrentUser, VnRegRoot::Users})
        VisitTree(root, *Root(root), path, visit);
}

// ---- value data ----

namespace {
void AppendUtf16(VnSimRegBytes& data, std::u16string_view text) {
    for (char16_t c : text) {
        data.push_back(uint8_t(c & 0xFF));
        data.push_back(uint8_t(c >> 8));
    }
}

uint64_t LittleEndian(const VnSimRegBytes& data, size_t width) {
    uint64_t number = 0;
    for (size_t i = 0; i < width && i < data.size(); ++i) number |= uint64_t(data[i]) << (8 * i);
    return number;
}
}  // namespace

VnSimRegBytes VnSimRegEncode(const VnRegValue& value) {
    VnSimRegBytes data;
    switch (value.type) {
        case vnwin::kRegSz:
        case vnwin::kRegExpandSz: AppendUtf16(data, std::u16string_view(value.text.c_str(), size_t(value.text.GetLength()) + 1)); break;
        case vnwin::kRegMultiSz:
            AppendUtf16(data, std::u16string_view(value.text.c_str(), size_t(value.text.GetLength()) + 1));
            AppendUtf16(data, std::u16string_view(u"\0", 1));
            break;
        case vnwin::kRegDword:
        case vnwin::kRegQword: {
            size_t width = value.type == vnwin::kRegDword ? 4 : 8;
            for (size_t i = 0; i < width; ++i) data.push_back(uint8_t(value.number >> (8 * i)));
            break;
        }
        default: data = value.bytes; break;
    }
    return data;
}

VnRegValue VnSimRegDecode(uint32_t type, const VnSimRegBytes& data) {
    VnRegValue value;
    value.type = type;
    std::u16string chars(data.size() / 2, u'\0');
    for (size_t i = 0; i < chars.size(); ++i) chars[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    switch (type) {
        case vnwin::kRegSz:
        case vnwin::kRegExpandSz: {
            size_t end = chars.find(u'\0');
            value.text = VnString(std::u16string_view(chars).substr(0, end));
            break;
        }
        case vnwin::kRegMultiSz: {
            // Only the list's two closing zeros go: an empty last item (the
            // target of a pending deletion) is kept.
            size_t length = chars.size();
            for (int closing = 0; closing < 2 && length > 0 && chars[length - 1] == 0; ++closing) --length;
            value.text = VnString(std::u16string_view(chars).substr(0, length));
            break;
        }
        case vnwin::kRegDword: value.number = LittleEndian(data, 4); break;
        case vnwin::kRegQword: value.number = LittleEndian(data, 8); break;
        default: value.bytes = data; break;
    }
    return value;
}
