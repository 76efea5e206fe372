// The program's settings schema as the installer knows it: 89 settings by
// fixed id, each with the property name under which the program stores it,
// the key under which the install description may preset it (below
// "/*/DefaultSettings/"), and built-in defaults for reading it as a number
// and as a text.
#pragma once

#include <cstdint>

constexpr int kSettingsCount = 89;
constexpr int kSettingMusicLocation = 0;       // text default: the user's "My Music" folder
constexpr int kSettingShellIntegration = 5;    // number default: whether the shell extension is registered
constexpr int kSettingWindowsStartupRunMode = 22;

struct SettingDefinition {
    int id;
    const char16_t* propertyName;  // never empty for a known id
    const char16_t* installKey;    // empty: presets cannot change the setting
    int32_t numberDefault;         // ids 5 and 0 have run-time defaults besides (see CSettingsHelper)
    const char16_t* textDefault;
};

// The definition of `id`; null for an unknown id.
const SettingDefinition* FindSettingDefinition(int id);
