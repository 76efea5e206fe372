// The registry part of the clean-up: keys and values that earlier versions
// wrote in the product's own key and no longer mean anything, in this order.
#include "ObsoleteFiles.h"
#include "VnPlatform.h"
#include "VnRegKeyCloser.h"

namespace {

constexpr uint32_t kEdit = vnwin::kKeyReadWrite;

struct KeyMove {
    const char16_t* from;
    const char16_t* to;
};
constexpr KeyMove kMovedKeys[] = {{u"Plugins\\RemoteControl", u"PluginsRemoteControl"},
                                  {u"Portable Devices\\Conversion", u"Handheld"}};

struct NamedItems {
    const char16_t* key;  // below the product key; empty: the product key itself
    std::initializer_list<const char16_t*> names;
};
const NamedItems kDeletedSubkeys[] = {
    {u"Plugins", {u"Lounge ViewNews", u"Lounge ViewWeather"}},
    {u"Plugins\\Interface", {u"UPnP Server", u"Library Server", u"last.fm"}},
};
const NamedItems kDeletedValues[] = {
    {u"Properties",
     {u"Install - Start Version", u"Install - Create Start Menu", u"EPG - TV Grabber Executable",
      u"STBChannel - TV Grabber Executable", u"Rename From Info - Base Path",
      u"Rename From Info - Use Filename Rule", u"Rename From Info - Use Directory Rule",
      u"Rename From Info - Use Find & Replace", u"Rename From Info - Smart Multi-Artist Handling",
      u"Rename From Info - Find", u"Rename From Info - Replace"}},
    {u"Plugins", {u"V. Arnel Main Encoders"}},
    {u"Plugins\\System",
     {u"V. Arnel Main DSPs", u"V. Arnel Main Encoders", u"V. Arnel Main Outputs", u"V. Arnel Main Remote Controls"}},
};

IVnRegistry& Registry() { return VnPlatform().Registry(); }

VnString Below(const VnString& productKey, const char16_t* subKey) {
    return *subKey ? productKey + u"\\" + subKey : productKey;
}

// The product's keys, opened for editing; 0 when missing.
class OpenedKey : public VnScopedRegKey {
public:
    OpenedKey(VnRegKey parent, const VnString& path) : VnScopedRegKey(parent, path, kEdit) {}
    explicit OpenedKey(const VnString& path) : VnScopedRegKey(VnRegRoot::CurrentUser, path, kEdit) {}
};

VnStringArray SubkeyNames(VnRegKey key) {
    VnStringArray names;
    VnString name;
    for (uint32_t i = 0; Registry().EnumKey(key, i, name) == vnwin::kErrorSuccess; ++i) names.Add(name);
    return names;
}

// Every value and subkey of `from` into `to`, recursively.
void CopyKeyTree(VnRegKey from, VnRegKey to) {
    VnString name;
    VnRegValue value;
    for (uint32_t i = 0; Registry().EnumValue(from, i, name, &value) == vnwin::kErrorSuccess; ++i)
        Registry().SetValue(to, name, value);
    for (const VnString& subName : SubkeyNames(from)) {
        OpenedKey source(from, subName);
        VnRegKey target = 0;
        if (!source.Get() || Registry().CreateSubKey(to, subName, kEdit, target) != vnwin::kErrorSuccess) continue;
        CopyKeyTree(source.Get(), target);
        Registry().CloseKey(target);
    }
}

void MoveKeyTree(const VnString& productKey, const KeyMove& move) {
    OpenedKey product(productKey);
    if (!product.Get()) return;
    bool copied = false;
    {
        OpenedKey source(product.Get(), move.from);
        VnRegKey target = 0;
        if (!source.Get() ||
            Registry().CreateSubKey(product.Get(), move.to, kEdit, target) != vnwin::kErrorSuccess)
            return;
        CopyKeyTree(source.Get(), target);
        Registry().CloseKey(target);
        copied = true;
    }
    if (copied) Registry().DeleteTree(product.Get(), move.from);
}

// Subkeys of "Library Specific" that hold nothing but the marker value.
bool HoldsOnlyStackUpdated(VnRegKey key) {
    VnString name;
    return Registry().EnumValue(key, 0, name) == vnwin::kErrorSuccess && name.EqualsNoCase(u"Stack Updated") &&
           Registry().EnumValue(key, 1, name) == vnwin::kErrorNoMoreItems &&
           Registry().EnumKey(key, 0, name) == vnwin::kErrorNoMoreItems;
}

}  // namespace

void CleanObsoleteRegistryEntries(const VnString& productKey) {
    for (const KeyMove& move : kMovedKeys) MoveKeyTree(productKey, move);
    for (const NamedItems& items : kDeletedSubkeys) {
        OpenedKey key(Below(productKey, items.key));
        if (key.Get())
            for (const char16_t* name : items.names) Registry().DeleteTree(key.Get(), name);
    }
    {
        OpenedKey product(productKey);
        if (product.Get())
            for (const VnString& name : SubkeyNames(product.Get()))
                if (name.StartsWithNoCase(u"UPnP Server")) Registry().DeleteTree(product.Get(), name);
    }
    {
        OpenedKey library(Below(productKey, u"Library Specific"));
        if (library.Get())
            for (const VnString& name : SubkeyNames(library.Get())) {
                bool onlyMarker = false;
                {
                    OpenedKey sub(library.Get(), name);
                    onlyMarker = sub.Get() && HoldsOnlyStackUpdated(sub.Get());
                }
                if (onlyMarker) Registry().DeleteKey(library.Get(), name);
            }
    }
    for (const NamedItems& items : kDeletedValues) {
        OpenedKey key(Below(productKey, items.key));
        if (key.Get())
            for (const char16_t* name : items.names) Registry().DeleteValue(key.Get(), name);
    }
}
