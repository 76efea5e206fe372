// Named kernel objects of the simulated machine: mutexes and shared-memory
// blocks, which the installer shares with the in-process stand-in programs.
//
// Names are case-sensitive as on Windows; "Local\X" is the same object as
// "X", "Global\X" a different one. A mutex and a memory block cannot share a
// name (the second gets ERROR_INVALID_HANDLE).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "SimFacts.h"
#include "VnPlatform.h"

class VnSimNamedObjects {
public:
    explicit VnSimNamedObjects(const VnSimFacts& facts) : facts_(facts) {}

    // CreateMutexW: `handle` is the caller's new handle. Another handle open
    // on the name, or the facts' heldMutexes, give ERROR_ALREADY_EXISTS (with
    // a handle); the facts' deniedMutexes give ERROR_ACCESS_DENIED (no handle).
    uint32_t CreateMutex(const VnString& name, VnHandle handle);
    // Shared memory: a block lives while a handle to it is open. Opening an
    // existing block with a larger size fails, as mapping a larger view does.
    void* CreateSharedMemory(const VnString& name, uint32_t size, VnHandle handle, bool& existed);
    void* OpenSharedMemory(const VnString& name, uint32_t size, VnHandle handle);
    // Closes a mutex or shared-memory handle; false when it is neither.
    bool Close(VnHandle handle);
    bool IsMutexHeld(const VnString& name) const;

private:
    struct Block {
        std::unique_ptr<uint8_t[]> bytes;
        uint32_t size = 0;
        int handles = 0;
    };
    static std::u16string ObjectName(const VnString& name);
    bool HeldElsewhere(const std::u16string& name) const;
    bool Denied(const std::u16string& name) const;

    const VnSimFacts& facts_;
    std::unordered_map<std::u16string, int> mutexHandles_;   // name -> open handles in this process
    std::unordered_map<std::u16string, Block> blocks_;
    std::unordered_map<VnHandle, std::u16string> mutexOf_;
    std::unordered_map<VnHandle, std::u16string> blockOf_;
};
