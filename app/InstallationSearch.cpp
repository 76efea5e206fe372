#include "InstallationSearch.h"

#include "VnFileSystem.h"
#include "ProcessInformationBlock.h"
#include "VersionInfo.h"
#include "LoadedProduct.h"
#include "VnPlatform.h"

namespace {

const char16_t* const kProductPublishers[] = {u"Varnel, Inc.", u"V. Arnel, Inc."};

// The names of all subkeys, collected before any of them is opened.
VnStringArray SubKeyNames(IVnRegistry& registry, VnRegKey key) {
    VnStringArray names;
    VnString name;
    for (uint32_t index = 0; registry.EnumKey(key, index, name) == vnwin::kErrorSuccess; ++index) names.Add(name);
    return names;
}

VnString ReadText(IVnRegistry& registry, VnRegKey key, const char16_t* name) {
    VnRegValue value;
    if (registry.QueryValue(key, name, value) != vnwin::kErrorSuccess) return VnString();
    if (value.type != vnwin::kRegSz && value.type != vnwin::kRegExpandSz) return VnString();
    return value.text;
}

bool IsProductPublisher(const VnString& publisher) {
    for (const char16_t* known : kProductPublishers)
        if (publisher == known) return true;
    return false;
}

// A run of trailing backslashes cut to one.
VnString WithOneTrailingBackslashAtMost(const VnString& folder) {
    VnString trimmed = folder;
    trimmed.TrimRight(u'\\');
    return trimmed.GetLength() < folder.GetLength() ? trimmed + u'\\' : trimmed;
}

// The packed file version of `path`; false when there is none to read (no
// file, no version record, no "Version.dll"), which is not the same as 0.
bool ReadPackedFileVersion(const VnString& path, uint64_t& version) {
    CVersionInfo info;
    info.Init();
    return info.HasVersionFunctions() && info.Load(path) == 0 && info.GetPackedVersion(version) == 0;
}

}  // namespace

VnString PayloadExecutablePath(ProductInformation& product) {
    const VnString installerPath = VnPlatform().System().GetModuleFileName();
    return installerPath.Left(installerPath.ReverseFind(u'\\') + 1) + u"Playmoor\\" + product.GetExecutableName();
}

bool UninstallSearchResult::HasOtherVersions() const {
    for (const UninstallEntryFound& entry : entries)
        if (!entry.thisVersion) return true;
    return false;
}

UninstallSearchResult FindUninstallEntries(ProductInformation& product, bool view64) {
    UninstallSearchResult result;
    const VnString familyName = product.GetProductName(3);
    const VnString versionName = product.GetProductName(4) + (view64 ? kUninstall64BitSuffix : u"");
    if (familyName.IsEmpty()) return result;  // every name would "begin with" it

    IVnRegistry& registry = VnPlatform().Registry();
    const uint32_t access = vnwin::kKeyRead | (view64 ? vnwin::kKeyWow64_64Key : 0);
    VnRegKey list = 0;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kUninstallListKey, access, list) != vnwin::kErrorSuccess)
        return result;

    for (const VnString& name : SubKeyNames(registry, list)) {
        if (!name.StartsWithNoCase(familyName)) continue;
        VnRegKey entryKey = 0;
        if (registry.OpenSubKey(list, name, access, entryKey) != vnwin::kErrorSuccess) continue;
        UninstallEntryFound entry;
        entry.keyName = name;
        entry.thisVersion = name.EqualsNoCase(versionName);
        const bool ours = IsProductPublisher(ReadText(registry, entryKey, u"Publisher"));
        entry.installLocation = ReadText(registry, entryKey, u"InstallLocation");
        registry.CloseKey(entryKey);
        if (!ours) continue;
        if (entry.thisVersion && !result.HasThisVersion()) result.thisVersionIndex = result.entries.GetSize();
        result.entries.Add(entry);
    }
    registry.CloseKey(list);
    return result;
}

void DetectExistingInstallations(ProductInformation& product, InstallOptions& options) {
    if (options.PortableSetup) return;

    UninstallSearchResult ownView = FindUninstallEntries(product, false);
    VnCoreArray<UninstallEntryFound> found = ownView.entries;
    bool otherVersions = ownView.HasOtherVersions();
    // A 32-bit installer on 64-bit Windows also sees what was installed into
    // the 64-bit view; there only a " (64-bit)" entry is this version.
    if (VnPlatform().System().IsWow64Process()) {
        UninstallSearchResult view64 = FindUninstallEntries(product, true);
        found.Append(view64.entries);
        otherVersions = otherVersions || view64.HasOtherVersions();
    }

    options.SameVersionInstalled = ownView.HasThisVersion();
    options.OtherVersionInstalled = otherVersions;
    if (ownView.HasThisVersion()) options.UninstallKeyName = ownView.entries[ownView.thisVersionIndex].keyName;

    options.OccupiedFolders.RemoveAll();
    for (const UninstallEntryFound& entry : found) {
        if (entry.installLocation.IsEmpty()) continue;
        const VnString folder = WithOneTrailingBackslashAtMost(entry.installLocation);
        if (options.OccupiedFolders.FindNoCase(folder) < 0) options.OccupiedFolders.Add(folder);
    }
}

void DetectExistingInstallations() {
    if (ProductInformation* product = LoadedProductInformation()) DetectExistingInstallations(*product, InstallOptions::Get());
}

bool IsInstalledVersionCurrent(ProductInformation& product, const InstallOptions& options) {
    if (options.AllowDowngrade || !options.SameVersionInstalled) return false;
    const VnString executable = product.GetExecutableName();
    const VnString programFolder = ProcessInformationBlock::Get().GetProgramFolder();
    if (executable.IsEmpty() || programFolder.IsEmpty()) return false;

    uint64_t installed = 0, payload = 0;
    if (!ReadPackedFileVersion(NormaliseFolder(programFolder) + executable, installed)) return false;
    if (!ReadPackedFileVersion(PayloadExecutablePath(product), payload)) return false;
    return installed >= payload;
}

bool IsInstalledVersionCurrent() {
    ProductInformation* product = LoadedProductInformation();
    return product && IsInstalledVersionCurrent(*product, InstallOptions::Get());
}
