// Registry part of the Windows backend: the advapi32 registry functions, with
// VnRegKey values that are the HKEYs themselves.
#pragma once

#include "VnPlatform.h"

class VnWin32Registry : public IVnRegistry {
public:
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
};
