#include "SimNamedObjects.h"

namespace {
// "Local\X" names the same object as "X" in the session's namespace.
bool InList(const VnStringArray& list, const std::u16string& name) {
    for (const VnString& entry : list) {
        std::u16string_view listed = entry.View();
        if (listed.substr(0, 6) == u"Local\\") listed.remove_prefix(6);
        if (listed == name) return true;
    }
    return false;
}
}  // namespace

std::u16string VnSimNamedObjects::ObjectName(const VnString& name) {
    std::u16string_view text = name.View();
    if (text.substr(0, 6) == u"Local\\") text.remove_prefix(6);
    return std::u16string(text);
}

bool VnSimNamedObjects::HeldElsewhere(const std::u16string& name) const { return InList(facts_.heldMutexes, name); }

bool VnSimNamedObjects::Denied(const std::u16string& name) const { return InList(facts_.deniedMutexes, name); }

uint32_t VnSimNamedObjects::CreateMutex(const VnString& name, VnHandle handle) {
    std::u16string key = ObjectName(name);
    if (key.empty()) {
        mutexOf_[handle] = key;  // an unnamed mutex is nobody else's
        return 0;
    }
    if (Denied(key)) return vnwin::kErrorAccessDenied;
    if (blocks_.count(key)) return vnwin::kErrorInvalidHandle;
    int& open = mutexHandles_[key];
    bool existed = open > 0 || HeldElsewhere(key);
    ++open;
    mutexOf_[handle] = key;
    return existed ? vnwin::kErrorAlreadyExists : 0;
}

bool VnSimNamedObjects::IsMutexHeld(const VnString& name) const {
    std::u16string key = ObjectName(name);
    auto found = mutexHandles_.find(key);
    return (found != mutexHandles_.end() && found->second > 0) || HeldElsewhere(key);
}

void* VnSimNamedObjects::CreateSharedMemory(const VnString& name, uint32_t size, VnHandle handle, bool& existed) {
    existed = false;
    std::u16string key = ObjectName(name);
    if (size == 0 || mutexHandles_.count(key)) return nullptr;
    if (!key.empty()) {
        if (void* view = OpenSharedMemory(name, size, handle)) {
            existed = true;
            return view;
        }
        if (blocks_.count(key)) return nullptr;  // exists, but smaller than asked
    } else {
        key = u"\x01unnamed:" + std::u16string(VnString::FromInt(int64_t(handle)).View());
    }
    Block& block = blocks_[key];
    block.bytes.reset(new uint8_t[size]());
    block.size = size;
    block.handles = 1;
    blockOf_[handle] = key;
    return block.bytes.get();
}

void* VnSimNamedObjects::OpenSharedMemory(const VnString& name, uint32_t size, VnHandle handle) {
    auto found = blocks_.find(ObjectName(name));
    if (found == blocks_.end() || size > found->second.size) return nullptr;
    ++found->second.handles;
    blockOf_[handle] = found->first;
    return found->second.bytes.get();
}

bool VnSimNamedObjects::Close(VnHandle handle) {
    if (auto mutex = mutexOf_.find(handle); mutex != mutexOf_.end()) {
        auto open = mutexHandles_.find(mutex->second);
        if (open != mutexHandles_.end() && --open->second <= 0) mutexHandles_.erase(open);
        mutexOf_.erase(mutex);
        return true;
    }
    if (auto block = blockOf_.find(handle); block != blockOf_.end()) {
        auto found = blocks_.find(block->second);
        if (found != blocks_.end() && --found->second.handles <= 0) blocks_.erase(found);
        blockOf_.erase(block);
        return true;
    }
    return false;
}
