// The settings schema: every id's names and defaults against the table, the
// install description's presets, stored values, and the shell-integration
// setting with its registered-state default and its side effect.
#include <map>
#include <memory>

#include "InstallFilesFixture.h"
#include "LoadedProduct.h"
#include "SettingsHelper.h"
#include "ToolsLibrary.h"

#ifndef _WIN32

namespace {

struct SchemaRow {
    int id;
    const char16_t* name;  // null: a name of the pattern "Ripping - Show Online Metadata ..."
    const char16_t* installKey;
    int32_t number;
    const char16_t* text;  // id 0: the user's "My Music" folder instead
};

const SchemaRow kSchema[] = {
    {0, u"General - Music Location", u"MEDIALOCATION", 0, u""},
    {1, u"General - Make Default Music Player", u"MAKEDEFAULTPLAYER", 1, u""},
    {2, u"General - Minimize To System Tray", u"MINIMIZETOSYSTRAY", 0, u""},
    {3, u"Minime - Always On Top", u"MINIME_ALWAYSONTOP", 0, u""},
    {4, u"General - Inactive Mini View Transparent", u"MINIME_INACTIVETRANSPARENT", 1, u""},
    {5, u"General - Enable Shell Integration", u"ENABLESHELLINTEGRATION", 0, u""},
    {6, u"General - Online Metadata Automatic Disc Lookup and Submit", u"", 1, u""},
    {7, u"General - Online Metadata Automatic Cover Art Submit", u"", 1, u""},
    {8, u"General - Online Metadata Automatic Ratings Submit", u"", 0, u""},
    {9, u"General - Online Metadata Lookup Language", u"", 0, u"en"},
    {10, u"Startup - Mode", u"START_MODE", 0, u""},
    {11, u"Startup - Page", u"START_LOCATION", 7, u""},
    {12, u"Startup - Show Splash Screen", u"START_SHOWSPLASHSCREEN", 1, u""},
    {13, u"Startup - Show Tree", u"", 1, u""},
    {14, u"Startup - Show Action Window", u"", 1, u""},
    {15, u"Startup - Start Playback", u"START_PLAYBACKCURRENT", 0, u""},
    {16, u"Startup - Optimize Volume", u"START_OPTIMIZEVOLUME", 1, u""},
    {17, u"Library Server Conversion - Encoder", u"LIBCONVERSION_ENCODER", 3, u""},
    {18, u"Library Server Conversion - Quality", u"LIBCONVERSION_ENCODERQUALITY", 0, u""},
    {19, u"General - Automatically Import Files", u"AUTOIMPORT_FILES", 0, u""},
    {20, u"Tagging - Update Tags", u"UPDATETAGS", 1, u""},
    {21, u"Tagging - Use Sidecar", u"", 0, u"Video;Data"},
    {22, u"General - Windows Startup Run Mode", u"WINDOWS_STARTUP_RUN_MODE", 0, u""},
    {23, u"General - Jump On Play Mode Audio", u"", 0, u""},
    {24, u"General - Jump On Play Mode Video", u"JUMP_ON_PLAY_MODE_VIDEO", 3, u""},
    {25, u"General - Force Windowed Playback From External", u"", 0, u""},
    {26, u"General - List Double Click Mode", u"DOUBLECLICKMOD", 1, u""},
    {27, u"General - Play Button Mode", u"PLAYBUTTONMODE", 0, u""},
    {28, u"General - Previous Button Mode", u"PREVIOUSBUTTONMODE", 1, u""},
    {29, u"General - Show Stop Button", u"SHOWSTOPBUTTON", 1, u""},
    {30, u"General - Remove Files From Playing Now As Played", u"REMOVEFILESFROMPLAYINGNOWASPLAYED", 0, u""},
    {31, u"General - Start Playback On Add", u"STARTPLAYBACKONADD", 1, u""},
    {32, u"General - Clear Recently Imported On Exit", u"CLEARRECENTLYIMPORTEDONEXIT", 0, u""},
    {33, u"General - Clear Playing Now On Exit", u"CLEARPLAYINGNOWONEXIT", 0, u""},
    {34, u"General - Show Playlist Groups As Collection", u"", 0, u""},
    {35, u"General - Bookmark Mode", u"", 0, u""},
    {36, u"General - Bookmark Auto Search", u"", 0, u""},
    {37, u"General - Hot Key Mode", u"HOTKEY_MODE", 0, u""},
    {38, u"View - Show List Grid Lines", u"LIST_SHOWGRIDLINES", 1, u""},
    {39, u"View - List Check For Missing Files", u"LIST_CHECKFORMISSING", 0, u""},
    {40, u"View - List Autosize Columns", u"LIST_AUTOSIZECOLUMNS", 1, u""},
    {41, u"View - Left Mouse Lasso", u"LIST_LEFTMOUSELASSO", 0, u""},
    {42, u"View - List Lines", u"LIST_TEXTLINES", 0, u""},
    {43, u"View - Tool Tips", u"", 1, u""},
    {44, u"View - Auto Expand Tree", u"AUTOEXPANDTREE", 1, u""},
    {45, u"View - Auto Size Tree", u"AUTOSIZETREE", 0, u""},
    {46, u"Sorting - Auto Save List Sorting", u"SORTING_AUTOSAVELISTSORT", 1, u""},
    {47, u"View - Auto Size Truncate Long Values", u"AUTOSIZETRUNCATELONG", 1, u""},
    {48, u"View - Right Click MRU Count", u"MENUMRUCOUNT_RIGHTCLICK", 1, u""},
    {49, u"Ripping - Auto Rip Mode", u"RIP_AUTORIPMODE", 1, u""},
    {50, u"Ripping - Analyze Audio During Ripping", u"RIP_ANALYZEAUDIO", 1, u""},
    {51, u"Ripping - Get Cover Art After Ripping", u"RIP_RETRIEVECOVERART", 1, u""},
    {52, u"Ripping - Show Recently Ripped Playlist After Ripping", u"RIP_SHOWRECENTLYRIPPEDPLAYLIST", 1, u""},
    {53, u"Ripping - Eject After Ripping", u"RIP_EJECT", 1, u""},
    {54, u"Ripping - Play Sound After Ripping", u"RIP_PLAYSOUNDWHENCOMPLETE", 0, u""},
    {55, u"Ripping - Complete Sound File", u"RIP_SOUNDFILE", 0, u"chord.wav"},
    {56, u"Burning - Complete Sound File", u"BURN_SOUNDFILE", 0, u"chord.wav"},
    {57, u"Burning - Play Sound After Burn", u"BURN_PLAYSOUND_AFTER_BURN", 0, u""},
    {58, u"Burning - ISO Version", u"BURN_ISO_VERSION", 1, u""},
    {59, u"Burning - Use Playback Settings", u"BURN_USE_PLAYBACK_SETTINGS", 0, u""},
    {60, u"Burning - Writer Name", u"BURN_WRITER_NAME", 0, u""},
    {61, u"Burning - Eject After Burn", u"BURN_EJECT", 1, u""},
    {62, u"Burning - Test Mode", u"BURN_TEST_MODE", 0, u""},
    {63, u"Burning - Write CD Text", u"BURN_WRITE_CD_TEXT", 1, u""},
    {64, u"Burning - Close Disc", u"BURN_CLOSE_DISK", 0, u""},
    {65, u"Burning - Data File System", u"BURN_DATA_FILE_SYSTEM", 0, u""},
    {66, u"File Associations - Play Audio CDs", u"ASSOC_AUDIO_CD", 1, u""},
    {67, u"Library Server Conversion - Convert audio files", u"LIBCONVERSION_ENABLE", 0, u""},
    {68, nullptr, u"", 1, u""},
    {69, nullptr, u"", 1, u""},
    {70, nullptr, u"", 1, u""},
    {71, u"Ripping - Overwrite Existing", u"", 0, u""},
    {72, u"Ripping - Cue File Support", u"", 0, u""},
    {73, u"Ripping - Cue File Template", u"", 0, u""},
    {74, u"Ripping - Auto Create Secure Mode Log File", u"", 0, u""},
    {75, u"Ripping - Max Ripping Processes", u"", 1, u""},
    {76, u"Ripping - Max Encoding Processes", u"", 3, u""},
    {77, u"Ripping - Max Combined Processes", u"", 4, u""},
    {78, u"Ripping - Encode and Rip Concurrently", u"", 1, u""},
    {79, u"Ripping - Normalize After", u"", 0, u""},
    {80, u"Startup - Always load default library", u"START_ALWAYS_LOAD_DEFAULT_LIBRARY", 0, u""},
    {81, u"General - Hotkey As Media Server", u"", 1, u""},
    {82, u"Tagging - Sidecar mode", u"", 0, u"1"},
    {83, u"General - Mouse wheel jump increment", u"", 9, u""},
    {84, u"General - Disable skipping with mouse wheel", u"", 0, u""},
    {85, u"General - Mouse Wheel Volume", u"MOUSEWHEELVOLUME", 1, u""},
    {86, u"General - Mini View Close Mode", u"MINIVIEWCLOSEMODE", 0, u""},
    {87, u"General - Image Double Click Preview", u"DBLCLICK_IMG_PREVIEW", 0, u""},
    {88, u"General - ImportNTag image dont merge PMMD People", u"", 0, u""},
};

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
    ASSERT_EQ(std::size(kSchema), 89u);
    for (const SchemaRow& row : kSchema) {
        SCOPED_TRACE(row.id);
        const VnString name = settings.GetPropertyName(row.id);
        if (row.name)
            EXPECT_EQ(name, row.name);
        else
            EXPECT_TRUE(name.StartsWith(u"Ripping - Show Online Metadata ")) << Utf8(name);
        EXPECT_EQ(settings.GetInstallKey(row.id), row.installKey);

        const auto preset = presets.find(row.installKey);
        const int32_t number = preset != presets.end() ? int32_t(std::stoi(Utf8(VnString(preset->second)))) : row.number;
        const VnString text = row.id == 0                ? VnString(u"C:\\Users\\User\\Music\\")
                              : preset != presets.end() ? VnString(preset->second)
                                                        : VnString(row.text);
        EXPECT_EQ(settings.GetDefaultNumber(row.id), number);
        EXPECT_EQ(settings.GetNumber(row.id, 0), number);
        EXPECT_EQ(settings.GetDefaultText(row.id), text);
        EXPECT_EQ(settings.GetText(row.id), text);

        // A stored value wins over every default, as a number and as a text.
        ASSERT_TRUE(settings.SetNumber(row.id, 1000 + row.id, 0));
        EXPECT_EQ(settings.GetNumber(row.id, 0), 1000 + row.id);
        EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, kPropertiesKey, Utf8(name)), std::to_string(1000 + row.id));
        ASSERT_TRUE(settings.SetText(row.id, u"C:\\Media", kToolsStoreFlagFolder));
        EXPECT_EQ(settings.GetText(row.id), u"C:\\Media\\");
    }
    for (int unknown : {-1, 89, 1000}) {
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
