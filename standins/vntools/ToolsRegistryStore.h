// ToolsPropertyStore over one registry key. Every operation opens the key,
// does its work and closes it again, so a store holds no handle and sees
// changes made by others at once.
#pragma once

#include "ToolsInterface.h"
#include "VnPlatform.h"

class ToolsRegistryStore final : public ToolsPropertyStore {
public:
    ToolsRegistryStore(VnRegRoot root, const VnString& keyPath, uint32_t view)
        : root_(root), keyPath_(keyPath), view_(view) {}
    // The store of a predefined key given by its value; null for an unknown root.
    static ToolsRegistryStore* Create(uint32_t root, const VnString& keyPath, uint32_t view);

    VnString GetKeyPath() override;
    bool HasValue(const VnString& name) override { return Query(name, nullptr); }
    bool ReadText(const VnString& name, VnString& value) override;
    VnString GetText(const VnString& name, const VnString& defaultValue) override;
    bool ReadNumber(const VnString& name, int32_t& value) override;
    int32_t GetNumber(const VnString& name, int32_t defaultValue) override;
    bool SetText(const VnString& name, const VnString& value, uint32_t flags) override;
    bool SetNumber(const VnString& name, int32_t value, uint32_t flags) override;
    bool DeleteValue(const VnString& name) override;
    bool DeleteSubKey(const VnString& name) override;
    VnString GetValueName(int index) override { return EnumName(index, false); }
    VnString GetSubKeyName(int index) override { return EnumName(index, true); }
    uint32_t GetValueType(const VnString& name) override;
    bool CopyValue(const VnString& name, ToolsPropertyStore& destination) override;

private:
    bool KeyExists();
    VnString EnumName(int index, bool subKeys);
    bool Query(const VnString& name, VnRegValue* value);
    bool Write(const VnString& name, const VnRegValue& value);
    // Opens the key for reading, or for editing; 0 when it cannot be opened.
    VnRegKey OpenForReading();
    VnRegKey OpenForEditing(bool create);

    VnRegRoot root_;
    VnString keyPath_;
    uint32_t view_;
};
