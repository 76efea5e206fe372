#include "InstallerKey.h"

#include "ToolsLink.h"
#include "VnPlatform.h"

namespace {

std::unique_ptr<ToolsPropertyStore> OpenCurrentVersionStore(ToolsInterface* tools) {
    return std::unique_ptr<ToolsPropertyStore>(tools ? tools->OpenPropertyStore(kInstallerStoreName) : nullptr);
}

}  // namespace

CInstallerKey::CInstallerKey() : CInstallerKey(VnTools()) {}

CInstallerKey::CInstallerKey(ToolsInterface* tools) : store_(OpenCurrentVersionStore(tools)) {}

CInstallerKey CInstallerKey::ForVersion(ToolsInterface* tools, int majorVersion) {
    if (!tools) return CInstallerKey(std::unique_ptr<ToolsPropertyStore>());
    const VnString path = VnString::Format(u"Software\\V. Arnel\\Tunaro %d\\Installer", majorVersion);
    return CInstallerKey(std::unique_ptr<ToolsPropertyStore>(
        tools->OpenRegistryStore(uint32_t(VnRegRoot::CurrentUser), path, 0)));
}

VnString CInstallerKey::KeyPath() const { return store_ ? store_->GetKeyPath() : VnString(); }

VnString CInstallerKey::GetText(const char16_t* name) const {
    return store_ ? store_->GetText(name, VnString()) : VnString();
}

bool CInstallerKey::SetText(const char16_t* name, const VnString& text, uint32_t flags) {
    return store_ && store_->SetText(name, text, flags);
}

int32_t CInstallerKey::GetNumber(const char16_t* name, int32_t defaultValue) const {
    return store_ ? store_->GetNumber(name, defaultValue) : defaultValue;
}

bool CInstallerKey::ReadNumber(const char16_t* name, int32_t& value) const {
    return store_ && store_->ReadNumber(name, value);
}

bool CInstallerKey::SetNumber(const char16_t* name, int32_t value) { return store_ && store_->SetNumber(name, value, 0); }

bool CInstallerKey::Delete(const char16_t* name) { return store_ && store_->DeleteValue(name); }

using namespace installer_values;

VnString CInstallerKey::GetInstallDirectory() const { return GetText(kInstallDirectory); }
bool CInstallerKey::SetInstallDirectory(const VnString& folder) {
    return SetText(kInstallDirectory, folder, kToolsStoreFlagFolder);
}

VnString CInstallerKey::GetDistributorID() const { return GetText(kDistributorID); }
bool CInstallerKey::SetDistributorID(const VnString& distributorID) { return SetText(kDistributorID, distributorID); }

bool CInstallerKey::GetRunAutoInstall() const { return GetNumber(kRunAutoInstall, 0) != 0; }
bool CInstallerKey::SetRunAutoInstall(bool runAutoInstall) { return SetNumber(kRunAutoInstall, runAutoInstall ? 1 : 0); }

int32_t CInstallerKey::GetCreateStartMenu(int32_t defaultValue) const {
    return GetNumber(kCreateStartMenu, defaultValue);
}
bool CInstallerKey::SetCreateStartMenu(int32_t choice) { return SetNumber(kCreateStartMenu, choice); }

int32_t CInstallerKey::GetStartMenuVersion() const { return GetNumber(kStartMenuVersion, 0); }
bool CInstallerKey::SetStartMenuVersion(int32_t version) { return SetNumber(kStartMenuVersion, version); }

int32_t CInstallerKey::GetInstallCount() const { return GetNumber(kInstallCount, 0); }
bool CInstallerKey::SetInstallCount(int32_t count) { return SetNumber(kInstallCount, count); }

VnString CInstallerKey::GetPendingInstall() const { return GetText(kPendingInstall); }
bool CInstallerKey::SetPendingInstall(const VnString& text) { return SetText(kPendingInstall, text); }

VnString CInstallerKey::GetPendingInstallVersion() const { return GetText(kPendingInstallVersion); }
bool CInstallerKey::SetPendingInstallVersion(const VnString& text) { return SetText(kPendingInstallVersion, text); }

bool CInstallerKey::ReadPendingInstallRunCount(int32_t& count) const {
    return ReadNumber(kPendingInstallRunCount, count);
}
bool CInstallerKey::SetPendingInstallRunCount(int32_t count) { return SetNumber(kPendingInstallRunCount, count); }
bool CInstallerKey::DeletePendingInstallRunCount() { return Delete(kPendingInstallRunCount); }

bool CInstallerKey::ReadPendingInstallInstallCount(int32_t& count) const {
    return ReadNumber(kPendingInstallInstallCount, count);
}
bool CInstallerKey::SetPendingInstallInstallCount(int32_t count) {
    return SetNumber(kPendingInstallInstallCount, count);
}
bool CInstallerKey::DeletePendingInstallInstallCount() { return Delete(kPendingInstallInstallCount); }
