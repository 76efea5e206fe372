#include "SimRegistry.h"

#include "SimMachineFile.h"
#include "SimRegFile.h"

namespace {

constexpr uint32_t kWriteAccess = vnwin::kKeySetValue | vnwin::kKeyCreateSubKey | vnwin::kKeyCreateLink |
                                  vnwin::kDeleteAccess | vnwin::kWriteDac | vnwin::kWriteOwner;

bool IsPredefined(VnRegKey key) {
    return key >= VnRegKey(VnRegRoot::ClassesRoot) && key <= VnRegKey(VnRegRoot::Users);
}

// Generic rights become the key rights they stand for, as Windows maps them.
uint32_t MapGenericAccess(uint32_t access) {
    if (access & (vnwin::kGenericAll | vnwin::kMaximumAllowed)) access |= vnwin::kKeyAllAccess;
    if (access & vnwin::kGenericRead) access |= vnwin::kKeyRead;
    if (access & vnwin::kGenericWrite) access |= vnwin::kKeyWrite;
    return access;
}

// Splits a relative key path; empty pieces (doubled or trailing backslashes)
// are skipped, a leading backslash is refused.
uint32_t SplitPath(const VnString& subKey, VnStringArray& parts) {
    if (subKey.StartsWith(u"\\")) return vnwin::kErrorBadPathname;
    for (const VnString& part : VnStringArray::Split(subKey.View(), u"\\"))
        if (!part.IsEmpty()) parts.Add(part);
    return vnwin::kErrorSuccess;
}

const VnString& SoftwareName() {
    static const VnString name = VN_LIT(u"Software");
    return name;
}

}  // namespace

// ---- resolving paths ----

void VnSimRegistry::ApplyView(Target& target, uint32_t access) const {
    VnStringArray& parts = target.parts;
    if (!facts_.is64BitWindows || (access & vnwin::kKeyWow64_64Key)) return;
    if (target.root != hive_.Root(VnRegRoot::LocalMachine) || parts.IsEmpty()) return;
    if (!parts[0].EqualsNoCase(SoftwareName().View())) return;
    if (parts.GetSize() >= 2 && parts[1].EqualsNoCase(u"Wow6432Node")) return;
    if (parts.GetSize() >= 2 && parts[1].EqualsNoCase(u"Classes")) {
        // Shared by both views, except the COM keys WOW64 keeps apart.
        static const char16_t* const kRedirected[] = {u"CLSID", u"DirectShow", u"Interface", u"Media Type",
                                                      u"MediaFoundation"};
        if (parts.GetSize() < 3) return;
        for (const char16_t* name : kRedirected)
            if (parts[2].EqualsNoCase(name)) parts.InsertAt(2, VN_LIT(u"Wow6432Node"));
        return;
    }
    parts.InsertAt(1, VN_LIT(u"Wow6432Node"));
}

uint32_t VnSimRegistry::ResolveRoot(VnRegRoot root, VnStringArray parts, uint32_t access, Target& target) {
    if (root == VnRegRoot::ClassesRoot) {
        parts.InsertAt(0, VN_LIT(u"Classes"));
        parts.InsertAt(0, SoftwareName());
        bool inUser = parts.GetSize() > 2 && VnSimRegHive::Find(hive_.Root(VnRegRoot::CurrentUser), parts) != nullptr;
        root = inUser ? VnRegRoot::CurrentUser : VnRegRoot::LocalMachine;
    }
    target.root = hive_.Root(root);
    if (!target.root) return vnwin::kErrorInvalidHandle;
    target.parts = std::move(parts);
    ApplyView(target, access);
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::Resolve(VnRegKey parent, const VnString& subKey, uint32_t access, Target& target) {
    VnStringArray parts;
    if (uint32_t error = SplitPath(subKey, parts)) return error;
    if (IsPredefined(parent)) return ResolveRoot(VnRegRoot(parent), std::move(parts), access, target);
    // Below an open key the view is already chosen: nothing is redirected.
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(parent, 0, node)) return error;
    target.root = hive_.Root(VnSimRegHive::RootOf(*node));
    target.parts = node->PathParts();
    target.parts.Append(parts);
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::Use(VnRegKey key, uint32_t neededAccess, std::shared_ptr<VnSimRegNode>& node) {
    node = nullptr;
    if (IsPredefined(key)) {
        Target target;
        if (uint32_t error = ResolveRoot(VnRegRoot(key), {}, 0, target)) return error;
        node = VnSimRegHive::Find(target.root, target.parts);
        return node ? vnwin::kErrorSuccess : vnwin::kErrorFileNotFound;
    }
    auto found = handles_.find(key);
    if (found == handles_.end()) return vnwin::kErrorInvalidHandle;
    if (found->second.node->IsDeleted()) return vnwin::kErrorKeyDeleted;
    if ((found->second.access & neededAccess) != neededAccess) return vnwin::kErrorAccessDenied;
    node = found->second.node;
    return vnwin::kErrorSuccess;
}

bool VnSimRegistry::MachineLocked(const VnSimRegNode& node) const {
    return !facts_.hklmWritable && VnSimRegHive::RootOf(node) == VnRegRoot::LocalMachine;
}

VnRegKey VnSimRegistry::AddHandle(const std::shared_ptr<VnSimRegNode>& node, uint32_t access) {
    VnRegKey key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = {node, access};
    return key;
}

// ---- keys ----

uint32_t VnSimRegistry::Open(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key) {
    std::lock_guard lock(mutex_);
    key = 0;
    access = MapGenericAccess(access);
    Target target;
    if (uint32_t error = Resolve(parent, subKey, access, target)) return error;
    std::shared_ptr<VnSimRegNode> node = VnSimRegHive::Find(target.root, target.parts);
    if (!node) return vnwin::kErrorFileNotFound;
    if ((access & kWriteAccess) && MachineLocked(*node)) return vnwin::kErrorAccessDenied;
    key = AddHandle(node, access);
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::Create(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key,
                               bool* created) {
    std::lock_guard lock(mutex_);
    key = 0;
    if (created) *created = false;
    access = MapGenericAccess(access);
    Target target;
    if (uint32_t error = Resolve(parent, subKey, access, target)) return error;
    std::shared_ptr<VnSimRegNode> node = VnSimRegHive::Find(target.root, target.parts);
    bool locked = MachineLocked(*target.root);
    if (locked && (!node || (access & kWriteAccess))) return vnwin::kErrorAccessDenied;
    // Windows refuses a key deeper than its tree may grow.
    if (!node && target.parts.GetSize() > kVnSimMostKeyDepth) return vnwin::kErrorInvalidParameter;
    bool added = false;
    if (!node) node = VnSimRegHive::Create(target.root, target.parts, added);
    if (created) *created = added;
    key = AddHandle(node, access);
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::OpenKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key) {
    return Open(VnRegKey(root), subKey, access, key);
}

uint32_t VnSimRegistry::OpenSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key) {
    return Open(parent, subKey, access, key);
}

uint32_t VnSimRegistry::CreateKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key,
                                  bool* created) {
    return Create(VnRegKey(root), subKey, access, key, created);
}

uint32_t VnSimRegistry::CreateSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key,
                                     bool* created) {
    return Create(parent, subKey, access, key, created);
}

void VnSimRegistry::CloseKey(VnRegKey key) {
    std::lock_guard lock(mutex_);
    if (IsPredefined(key)) return;
    if (handles_.erase(key) == 0) ++badCloses_;
}

uint32_t VnSimRegistry::FindKeyForDelete(VnRegKey parent, const VnString& subKey, uint32_t viewAccess,
                                         std::shared_ptr<VnSimRegNode>& node) {
    Target target;
    uint32_t view = viewAccess & (vnwin::kKeyWow64_64Key | vnwin::kKeyWow64_32Key);
    if (uint32_t error = Resolve(parent, subKey, view | vnwin::kDeleteAccess, target)) return error;
    node = VnSimRegHive::Find(target.root, target.parts);
    if (!node) return vnwin::kErrorFileNotFound;
    if (node->IsRoot() || MachineLocked(*node)) return vnwin::kErrorAccessDenied;
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::DeleteKey(VnRegKey parent, const VnString& subKey, uint32_t viewAccess) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = FindKeyForDelete(parent, subKey, viewAccess, node)) return error;
    if (!node->Subkeys().empty()) return vnwin::kErrorAccessDenied;
    node->Parent()->RemoveSubkey(node.get());
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::DeleteTree(VnRegKey parent, const VnString& subKey, uint32_t viewAccess) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = FindKeyForDelete(parent, subKey, viewAccess, node)) return error;
    node->Parent()->RemoveSubkey(node.get());
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::EnumKey(VnRegKey key, uint32_t index, VnString& name) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeyEnumerateSubKeys, node)) return error;
    if (index >= node->Subkeys().size()) return vnwin::kErrorNoMoreItems;
    name = node->Subkeys()[index]->Name();
    return vnwin::kErrorSuccess;
}

// ---- values ----

uint32_t VnSimRegistry::QueryValue(VnRegKey key, const VnString& name, VnRegValue& value) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeyQueryValue, node)) return error;
    const VnSimRegValueData* found = node->FindValue(name.View());
    if (!found) return vnwin::kErrorFileNotFound;
    value = VnSimRegDecode(found->type, found->data);
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::SetValue(VnRegKey key, const VnString& name, const VnRegValue& value) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeySetValue, node)) return error;
    if (MachineLocked(*node)) return vnwin::kErrorAccessDenied;
    node->SetValue(name, value.type, VnSimRegEncode(value));
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::QueryRawValue(VnRegKey key, const VnString& name, uint32_t& type,
                                      std::basic_string<uint8_t>& data) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeyQueryValue, node)) return error;
    const VnSimRegValueData* found = node->FindValue(name.View());
    if (!found) return vnwin::kErrorFileNotFound;
    type = found->type;
    data = found->data;
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::SetRawValue(VnRegKey key, const VnString& name, uint32_t type,
                                    const std::basic_string<uint8_t>& data) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeySetValue, node)) return error;
    if (MachineLocked(*node)) return vnwin::kErrorAccessDenied;
    node->SetValue(name, type, data);
    return vnwin::kErrorSuccess;
}

uint32_t VnSimRegistry::DeleteValue(VnRegKey key, const VnString& name) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeySetValue, node)) return error;
    if (MachineLocked(*node)) return vnwin::kErrorAccessDenied;
    return node->DeleteValue(name.View()) ? vnwin::kErrorSuccess : vnwin::kErrorFileNotFound;
}

uint32_t VnSimRegistry::EnumValue(VnRegKey key, uint32_t index, VnString& name, VnRegValue* value) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<VnSimRegNode> node;
    if (uint32_t error = Use(key, vnwin::kKeyQueryValue, node)) return error;
    if (index >= node->Values().size()) return vnwin::kErrorNoMoreItems;
    const VnSimRegValueData& found = node->Values()[index];
    name = found.name;
    if (value) *value = VnSimRegDecode(found.type, found.data);
    return vnwin::kErrorSuccess;
}

// ---- the machine's own side ----

bool VnSimRegistry::Load(const std::string& hostFile, std::string& error) {
    std::lock_guard lock(mutex_);
    hive_.Clear();
    std::string bytes;
    if (!VnReadMachineFile(hostFile, bytes, error)) return false;
    if (VnReadRegFile(bytes, hive_, error)) return true;
    error = hostFile + ", " + error;
    hive_.Clear();
    return false;
}

bool VnSimRegistry::Import(const std::string& regFileBytes, std::string& error) {
    std::lock_guard lock(mutex_);
    return VnReadRegFile(regFileBytes, hive_, error);
}

bool VnSimRegistry::Save(const std::string& hostFile, std::string& error) const {
    std::lock_guard lock(mutex_);
    return VnWriteMachineFile(hostFile, VnWriteRegFile(hive_), error);
}

void VnSimRegistry::WriteMachineValue(VnRegRoot root, const VnString& path, const VnString& name,
                                      const VnRegValue* value) {
    std::lock_guard lock(mutex_);
    VnStringArray parts;
    if (SplitPath(path, parts) || !hive_.Root(root)) return;
    bool created = false;
    std::shared_ptr<VnSimRegNode> node = VnSimRegHive::Create(hive_.Root(root), parts, created);
    if (value)
        node->SetValue(name, value->type, VnSimRegEncode(*value));
    else
        node->DeleteValue(name.View());
}

void VnSimRegistry::CreateMachineKey(VnRegRoot root, const VnString& path) {
    std::lock_guard lock(mutex_);
    VnStringArray parts;
    bool created = false;
    if (!SplitPath(path, parts) && hive_.Root(root)) VnSimRegHive::Create(hive_.Root(root), parts, created);
}

VnCoreArray<VnSimRegValueData> VnSimRegistry::ReadMachineValues(VnRegRoot root, const VnString& path) const {
    std::lock_guard lock(mutex_);
    VnCoreArray<VnSimRegValueData> values;
    VnStringArray parts;
    if (SplitPath(path, parts) || !hive_.Root(root)) return values;
    if (auto node = VnSimRegHive::Find(hive_.Root(root), parts))
        for (const auto& value : node->Values()) values.Add(value);
    return values;
}

size_t VnSimRegistry::OpenHandleCount() const {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

uint32_t VnSimRegistry::BadCloseCount() const {
    std::lock_guard lock(mutex_);
    return badCloses_;
}
