// The settings schema: every id answers with its table row, the install
// description's presets and stored values win in that order, the table itself
// is well formed, and the shell-integration setting follows its registered
// state and registers on a change.
#include <map>
#include <memory>
#include <set>

#include "InstallFilesFixture.h"
#include "LoadedProduct.h"
#include "SettingsHelper.h"
#include "SettingsSchema.h"
#include "ToolsLibrary.h"

#ifndef _WIN32

namespace {

constexpr char16_t kPropertiesKey[] = u"Software\\V. Arnel\\Tunaro 33\\Properties";
constexpr char16_t kHandlerKey[] = u"Software\\Classes\\*\\shellex\\ContextMenuHandlers\\Tunaro";

using SettingsSchemaTest = InstallFilesTest;

TEST_F(SettingsSchemaTest, EveryIdAnswersWithItsNamesPresetsDefaultsAndStoredValues) {
    // The demo product presets these under "/*/DefaultSettings/".
    const std::map<std::u16string, std::u16string> presets = {{u"MAKEDEFAULTPLAYER", u"1"},
                                                              {u"START_SHOWSPLASHSCREEN", u"0"},
                                                              {u"START_LOCATION", u"7"},
                                                              {u"RIP_EJECT", u"0"},
                                                              {u"UPDATETAGS", u"1"}};
    CSettingsHelper settings;
    std::set<std::u16string> names, installKeys;
    for (int id = 0; id < kSettingsCount; ++id) {
        SCOPED_TRACE(id);
        const SettingDefinition& row = *FindSettingDefinition(id);
        ASSERT_EQ(row.id, id);  // the table index is the id
        const VnString name = settings.GetPropertyName(id);
        EXPECT_EQ(name, row.propertyName);
        // Names are "Group - Setting" and unique; so are the install keys that exist.
        EXPECT_NE(std::u16string_view(row.propertyName).find(u" - "), std::u16string_view::npos);
        EXPECT_TRUE(names.insert(row.propertyName).second);
        if (*row.installKey) {
            EXPECT_TRUE(installKeys.insert(row.installKey).second);
        }
        EXPECT_EQ(settings.GetInstallKey(id), row.installKey);

        const auto preset = presets.find(row.installKey);
        const int32_t number =
            preset != presets.end() ? int32_t(std::stoi(Utf8(VnString(preset->second)))) : row.numberDefault;
        const VnString text = id == kSettingMusicLocation ? VnString(u"C:\\Users\\User\\Music\\")
                              : preset != presets.end()   ? VnString(preset->second)
                                                          : VnString(row.textDefault);
        EXPECT_EQ(settings.GetDefaultNumber(id), number);
        EXPECT_EQ(settings.GetNumber(id, 0), number);
        EXPECT_EQ(settings.GetDefaultText(id), text);
        EXPECT_EQ(settings.GetText(id), text);

        // A stored value wins over every default, as a number and as a text.
        ASSERT_TRUE(settings.SetNumber(id, 1000 + id, 0));
        EXPECT_EQ(settings.GetNumber(id, 0), 1000 + id);
        EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, kPropertiesKey, Utf8(name)), std::to_string(1000 + id));
        ASSERT_TRUE(settings.SetText(id, u"C:\\Media", kToolsStoreFlagFolder));
        EXPECT_EQ(settings.GetText(id), u"C:\\Media\\");
    }
    EXPECT_EQ(names.size(), 89u);
    // The rows other parts of the installer name by id.
    EXPECT_EQ(settings.GetPropertyName(kSettingShellIntegration), u"General - Enable Shell Integration");
    EXPECT_EQ(settings.GetPropertyName(kSettingWindowsStartupRunMode), u"General - Windows Startup Run Mode");
    for (int unknown : {-1, kSettingsCount, 1000}) {
        EXPECT_EQ(settings.GetPropertyName(unknown), u"");
        EXPECT_EQ(settings.GetInstallKey(unknown), u"");
        EXPECT_EQ(settings.GetNumber(unknown, 0), 0);
        EXPECT_FALSE(settings.SetNumber(unknown, 1, 0));
        EXPECT_FALSE(settings.SetText(unknown, u"x", 0));
    }
    // Without a tools library there is no store: number reads give 0, writes fail.
    VnToolsLibrary empty;
    CSettingsHelper storeless(&empty);
    EXPECT_EQ(storeless.GetNumber(1, 0), 0);
    EXPECT_EQ(storeless.GetText(9), u"en");
    EXPECT_FALSE(storeless.SetNumber(1, 1, 0));
}

// Id 5: registered state, then the preset, then the stored value; SetNumber
// runs the registration only when the wish differs from the present state.
TEST_F(SettingsSchemaTest, ShellIntegrationFollowsRegisteredStatePresetAndStoredValue) {
    struct Case {
        bool registered;
        const char* preset;  // "ENABLESHELLINTEGRATION" preset; null: none
        int stored;          // -1: nothing stored
        int32_t expected;
    };
    const Case cases[] = {
        {true, nullptr, -1, 1}, {false, nullptr, -1, 0}, {true, "0", -1, 0},
        {false, "1", -1, 1},    {true, "0", 1, 1},       {false, nullptr, 0, 0},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index);
        const VnString folder = VnString::Format(u"C:\\Products\\%d\\", index++);
        std::string info = ReadFile(Payload(u"ProductInfo.xml"));
        if (c.preset)
            info.replace(info.find("<DefaultSettings>"), 17,
                         std::string("<DefaultSettings><ENABLESHELLINTEGRATION>") + c.preset + "</ENABLESHELLINTEGRATION>");
        WriteFile(folder + u"ProductInfo.xml", info);
        if (c.registered)
            SimMachine().SetValue(VnRegRoot::LocalMachine, kHandlerKey, u"", VnRegValue::String(u"{0}"));
        else
            Reg().DeleteTree(VnRegKey(VnRegRoot::LocalMachine), u"Software\\Classes\\*");
        Reg().DeleteTree(VnRegKey(VnRegRoot::CurrentUser), u"Software\\V. Arnel");
        if (c.stored >= 0)
            SimMachine().SetValue(VnRegRoot::CurrentUser, kPropertiesKey, u"General - Enable Shell Integration",
                                  VnRegValue::Dword(uint32_t(c.stored)));
        TestProcessFolders folders;
        folders.moduleFolder = folder;
        VnToolsLibrary library;
        library.SetProcessFolders(&folders);
        EXPECT_EQ(CSettingsHelper(&library).GetNumber(5, 0), c.expected);
    }

    // The loaded library's answer, and the side effect of storing the wish.
    SimMachine().SetValue(VnRegRoot::LocalMachine, kHandlerKey, u"", VnRegValue::String(u"{0}"));
    Reg().DeleteTree(VnRegKey(VnRegRoot::CurrentUser), u"Software\\V. Arnel");
    EXPECT_EQ(GetShellIntegrationSetting(), 1);
    CSettingsHelper settings;
    ASSERT_TRUE(settings.SetNumber(5, 1, 0));
    EXPECT_TRUE(Logged("CSettingsHelper::Set: SETTINGS_ENABLESHELLINTEGRATION (1)"));
    EXPECT_TRUE(Logged("CSettingsHelper::Set: bShellIntegration == 1"));
    EXPECT_FALSE(LoggedContaining("RunPackageInstaller"));
    ASSERT_TRUE(settings.SetNumber(5, 0, 0));
    EXPECT_TRUE(Logged("CSettingsHelper::Set: RunPackageInstaller == 0"));  // no package installer in the program folder
    EXPECT_EQ(GetShellIntegrationSetting(), 0);
}

}  // namespace

#endif
