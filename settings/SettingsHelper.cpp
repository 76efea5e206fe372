#include "SettingsHelper.h"

#include "SettingsSchema.h"
#include "ShellExtensionState.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kStoreName[] = u"Properties";
constexpr char16_t kPresetPath[] = u"/*/DefaultSettings/";

}  // namespace

CSettingsHelper::CSettingsHelper(ToolsInterface* tools) : tools_(tools ? tools : VnTools()) {
    if (!tools_) return;
    VnString error;
    product_ = tools_->GetProductInformation(error);
    if (product_) store_.reset(tools_->OpenPropertyStore(kStoreName));
}

CSettingsHelper::~CSettingsHelper() = default;

VnString CSettingsHelper::GetText(int id) {
    const VnString name = GetPropertyName(id);
    const VnString fallback = GetDefaultText(id);
    if (name.IsEmpty() || !store_) return fallback;
    return store_->GetText(name, fallback);
}

int32_t CSettingsHelper::GetNumber(int id, uint32_t flags) {
    const VnString name = GetPropertyName(id);
    if (name.IsEmpty() || !store_) return 0;
    return store_->GetNumber(name, GetDefaultNumber(id));
}

bool CSettingsHelper::SetNumber(int id, int32_t value, uint32_t flags) {
    const VnString name = GetPropertyName(id);
    if (name.IsEmpty()) return false;
    ToolsLogScope scope(tools_ ? tools_->GetLog() : nullptr, u"CSettingsHelper::Set");
    if (id == kSettingShellIntegration) {
        scope.Write(VnString::Format(u"SETTINGS_ENABLESHELLINTEGRATION (%i)", value));
        const bool registered = IsShellExtensionRegistered(product_, vnwin::kKeyRead);
        scope.Write(VnString::Format(u"bShellIntegration == %i", registered ? 1 : 0));
        if ((value != 0) != registered) {
            const bool ran = RegisterShellExtension(value != 0);
            scope.Write(VnString::Format(u"RunPackageInstaller == %i", ran ? 1 : 0));
        }
    }
    return store_ && store_->SetNumber(name, value, flags);
}

bool CSettingsHelper::SetText(int id, const VnString& value, uint32_t flags) {
    const VnString name = GetPropertyName(id);
    return !name.IsEmpty() && store_ && store_->SetText(name, value, flags);
}

int32_t CSettingsHelper::GetDefaultNumber(int id) {
    const SettingDefinition* setting = FindSettingDefinition(id);
    int32_t builtIn = setting ? setting->numberDefault : 0;
    if (id == kSettingShellIntegration)
        builtIn = IsShellExtensionRegistered(product_, vnwin::kKeyReadWrite) ? 1 : 0;
    return GetInstallNumber(id, builtIn);
}

VnString CSettingsHelper::GetDefaultText(int id) {
    const SettingDefinition* setting = FindSettingDefinition(id);
    VnString builtIn = setting ? VnString(setting->textDefault) : VnString();
    if (id == kSettingMusicLocation)
        builtIn = NormaliseFolder(VnPlatform().System().GetSpecialFolder(vnwin::kCsidlMyMusic));
    return GetInstallText(id, builtIn);
}

VnString CSettingsHelper::GetPropertyName(int id) {
    const SettingDefinition* setting = FindSettingDefinition(id);
    return setting ? VnString(setting->propertyName) : VnString();
}

VnString CSettingsHelper::GetInstallKey(int id) {
    const SettingDefinition* setting = FindSettingDefinition(id);
    return setting ? VnString(setting->installKey) : VnString();
}

VnString CSettingsHelper::GetInstallText(int id, const VnString& defaultValue) {
    const VnString key = GetInstallKey(id);
    if (key.IsEmpty() || !product_) return defaultValue;
    return product_->GetInfoString(kPresetPath + key, defaultValue);
}

int32_t CSettingsHelper::GetInstallNumber(int id, int32_t defaultValue) {
    const VnString key = GetInstallKey(id);
    if (key.IsEmpty() || !product_) return defaultValue;
    return product_->GetInfoInt(kPresetPath + key, defaultValue);
}

int32_t GetShellIntegrationSetting() {
    CSettingsHelper settings;
    return settings.GetNumber(kSettingShellIntegration, 0);
}
