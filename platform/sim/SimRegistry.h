// The simulated registry: the Windows registry calls over a VnSimRegHive.
//
// As on Windows: names compare without regard to case; a missing key gives
// ERROR_FILE_NOT_FOUND; a path that begins with a backslash gives
// ERROR_BAD_PATHNAME; a handle without the access an operation needs gives
// ERROR_ACCESS_DENIED, and so does deleting a key that has subkeys; a closed
// or unknown handle gives ERROR_INVALID_HANDLE; a handle whose key was deleted
// gives ERROR_KEY_DELETED. The predefined roots (VnRegRoot values) may be used
// as parent handles and need no closing.
//
// Views: the installer is a 32-bit process. On 64-bit Windows a path from
// HKEY_LOCAL_MACHINE through "Software" (the key itself included) is
// redirected to Software\Wow6432Node unless KEY_WOW64_64KEY is given
// (KEY_WOW64_32KEY asks for the redirected view explicitly); a path that
// names Wow6432Node itself is not. Software\Classes is shared by both views,
// as on Windows 7 and later, except its COM keys (CLSID, DirectShow,
// Interface, Media Type, MediaFoundation), whose 32-bit view is
// Software\Classes\Wow6432Node\<key>. A path relative to an open key is not
// redirected: the key's view was chosen when it was opened. On 32-bit
// Windows nothing is redirected.
//
// HKEY_CLASSES_ROOT\X is HKEY_CURRENT_USER\Software\Classes\X when that key
// exists, otherwise HKEY_LOCAL_MACHINE\Software\Classes\X (where new keys are
// created); HKEY_CLASSES_ROOT itself is HKEY_LOCAL_MACHINE\Software\Classes.
// A handle opened through it belongs to the one key it reached: enumerating
// it does not merge the two.
//
// Rights: when the machine's facts say HKLM is not writable, opening a key
// under HKEY_LOCAL_MACHINE for writing, creating one, deleting one, or
// writing a value there gives ERROR_ACCESS_DENIED.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "SimFacts.h"
#include "SimRegTree.h"
#include "VnPlatform.h"

namespace vnwin {
constexpr uint32_t kKeyQueryValue = 0x0001, kKeySetValue = 0x0002, kKeyCreateSubKey = 0x0004,
                   kKeyEnumerateSubKeys = 0x0008, kKeyCreateLink = 0x0020, kDeleteAccess = 0x10000,
                   kWriteDac = 0x40000, kWriteOwner = 0x80000, kMaximumAllowed = 0x02000000,
                   kGenericAll = 0x10000000, kGenericWrite = 0x40000000, kGenericRead = 0x80000000;
}  // namespace vnwin

class VnSimRegistry : public IVnRegistry {
public:
    explicit VnSimRegistry(const VnSimFacts& facts) : facts_(facts) {}

    uint32_t OpenKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key) override;
    uint32_t OpenSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key) override;
    uint32_t CreateKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key,
                       bool* created = nullptr) override;
    uint32_t CreateSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key,
                          bool* created = nullptr) override;
    void CloseKey(VnRegKey key) override;
    uint32_t QueryValue(VnRegKey key, const VnString& name, VnRegValue& value) override;
    uint32_t SetValue(VnRegKey key, const VnString& name, const VnRegValue& value) override;
    uint32_t QueryRawValue(VnRegKey key, const VnString& name, uint32_t& type,
                           std::basic_string<uint8_t>& data) override;
    uint32_t SetRawValue(VnRegKey key, const VnString& name, uint32_t type,
                         const std::basic_string<uint8_t>& data) override;
    uint32_t DeleteValue(VnRegKey key, const VnString& name) override;
    uint32_t DeleteKey(VnRegKey parent, const VnString& subKey, uint32_t viewAccess = 0) override;
    uint32_t DeleteTree(VnRegKey parent, const VnString& subKey, uint32_t viewAccess = 0) override;
    uint32_t EnumKey(VnRegKey key, uint32_t index, VnString& name) override;
    uint32_t EnumValue(VnRegKey key, uint32_t index, VnString& name, VnRegValue* value = nullptr) override;

    // The registry file of the machine folder (see SimRegFile.h). Load
    // replaces the whole content; on failure the registry is left empty.
    bool Load(const std::string& hostFile, std::string& error);
    bool Save(const std::string& hostFile, std::string& error) const;
    // Adds the content of a .reg file, as `reg import` does (no views, no rights).
    bool Import(const std::string& regFileBytes, std::string& error);

    // What the machine itself writes (at creation, or facts applied at open):
    // a native path below a root, no view, no rights check. Null deletes the value.
    void WriteMachineValue(VnRegRoot root, const VnString& path, const VnString& name, const VnRegValue* value);
    void CreateMachineKey(VnRegRoot root, const VnString& path);
    // The values of a key in enumeration order; empty when the key is missing.
    VnCoreArray<VnSimRegValueData> ReadMachineValues(VnRegRoot root, const VnString& path) const;

    size_t OpenHandleCount() const;
    uint32_t BadCloseCount() const;  // CloseKey calls with a closed or unknown handle
    const VnSimRegHive& Hive() const { return hive_; }

private:
    struct Handle {
        std::shared_ptr<VnSimRegNode> node;
        uint32_t access = 0;
    };
    // Where a root or handle plus a relative path leads, after views.
    struct Target {
        std::shared_ptr<VnSimRegNode> root;  // the stored root the path starts from
        VnStringArray parts;                 // native path below it
    };

    uint32_t Resolve(VnRegKey parent, const VnString& subKey, uint32_t access, Target& target);
    uint32_t ResolveRoot(VnRegRoot root, VnStringArray parts, uint32_t access, Target& target);
    uint32_t Open(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key);
    uint32_t Create(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key, bool* created);
    uint32_t FindKeyForDelete(VnRegKey parent, const VnString& subKey, uint32_t viewAccess,
                              std::shared_ptr<VnSimRegNode>& node);
    // The open key behind a handle, checked for the access the call needs.
    uint32_t Use(VnRegKey key, uint32_t neededAccess, std::shared_ptr<VnSimRegNode>& node);
    VnRegKey AddHandle(const std::shared_ptr<VnSimRegNode>& node, uint32_t access);
    bool MachineLocked(const VnSimRegNode& node) const;
    void ApplyView(Target& target, uint32_t access) const;

    const VnSimFacts& facts_;
    VnSimRegHive hive_;
    std::map<VnRegKey, Handle> handles_;
    VnRegKey nextHandle_ = 0x1000;
    uint32_t badCloses_ = 0;
    mutable std::recursive_mutex mutex_;
};
