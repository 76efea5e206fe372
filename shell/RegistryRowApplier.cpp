#include "RegistryRowApplier.h"

#include <algorithm>

#include "AssociationValues.h"
#include "RegistryRow.h"
#include "VnCharSearch.h"
#include "VnPlatform.h"

namespace {

constexpr uint32_t kFirstPassAccess = vnwin::kKeyReadWrite;                             // 0x2001F
constexpr uint32_t kSecondPassAccess = vnwin::kKeyReadWrite | vnwin::kKeyWow64_64Key;   // 0x2011F

// Windows refuses a key name (one part of the path) longer than 255
// characters; such a row is skipped before the registry is asked.
bool HasOverlongKeyName(std::u16string_view key) {
    constexpr size_t kLongestKeyName = 255;
    for (size_t start = 0; start <= key.size();) {
        const size_t end = std::min(VnFindChar(key, u'\\', start), key.size());
        if (end - start > kLongestKeyName) return true;
        start = end + 1;
    }
    return false;
}

bool HasDwordValue(IVnRegistry& registry, VnRegKey key, const VnString& name) {
    VnRegValue value;
    return registry.QueryValue(key, name, value) == vnwin::kErrorSuccess && value.type == vnwin::kRegDword;
}

void WriteRow(IVnRegistry& registry, VnRegKey key, const RegistryRow& row) {
    switch (row.action) {
        case RegistryRowAction::Delete: registry.DeleteValue(key, row.valueName); return;
        case RegistryRowAction::Create:
            if (row.isString ? !RegistryValueText(key, row.valueName).IsEmpty()
                             : HasDwordValue(registry, key, row.valueName))
                return;
            break;
        case RegistryRowAction::Modify: break;
    }
    registry.SetValue(key, row.valueName,
                      row.isString ? VnRegValue::String(row.data)
                                   : VnRegValue::Dword(uint32_t(ParseRegistryRowNumber(row.data))));
}

}  // namespace

void ApplyRegistryTemplates(const VnStringArray& rows, const RegistryTokenValues& values) {
    IVnRegistry& registry = VnPlatform().Registry();
    const bool underWow64 = VnPlatform().System().IsWow64Process();
    RegistryRowRoot root = RegistryRowRoot::ClassesRoot;
    RegistryRow row;
    for (const VnString& text : rows) {
        if (text.IsEmpty() || ParseRegistryRootLine(text, root)) continue;
        const int passes = underWow64 && text.Contains(kAutoPlayToken) ? 2 : 1;
        VnString expanded = text;
        ExpandRegistryTokens(expanded, values);
        if (!SplitRegistryRow(expanded, row) || HasOverlongKeyName(row.key)) continue;
        for (int pass = 0; pass < passes; ++pass) {
            VnRegKey key = 0;
            if (registry.CreateKey(VnRegRoot(uint32_t(root)), row.key, pass == 0 ? kFirstPassAccess : kSecondPassAccess,
                                   key) != vnwin::kErrorSuccess)
                continue;
            WriteRow(registry, key, row);
            registry.CloseKey(key);
        }
    }
}
