// Migration of an earlier version's settings and the default library, by
// scenario, on the whole copy-and-install sequence of the demo product.
#include <functional>

#include "InstallFilesFixture.h"
#include "SettingsMigration.h"
#include "VnFileSystem.h"

#ifndef _WIN32

namespace {

constexpr char16_t kAppData[] = u"C:\\Users\\User\\AppData\\Roaming\\V. Arnel\\";
constexpr char16_t kOldFolder[] = u"C:\\Old Player\\";
constexpr char16_t kRunKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kCurrent[] = u"Software\\V. Arnel\\Tunaro 33";

VnString Key(int version, const char16_t* below = u"") {
    VnString key = VnString::Format(u"Software\\V. Arnel\\Tunaro %d", version);
    return *below ? key + u"\\" + below : key;
}
VnString DataFolder(int version) { return kAppData + VnString::Format(u"Tunaro %d\\", version); }

class SettingsMigrationTest : public InstallFilesTest {
protected:
    // What an earlier version leaves behind: its settings tree (with an
    // "Installer" and "Dependencies" at the top and an "Installer" deeper),
    // its Run entry, its data folders and its install folder.
    void PrepareEarlierVersion(int version) {
        const VnString name = VnString::Format(u"Tunaro %d", version);
        auto set = [&](const char16_t* below, const char16_t* value, const VnRegValue& data) {
            SimMachine().SetValue(VnRegRoot::CurrentUser, Key(version, below), value, data);
        };
        set(u"Properties", u"Skin Folder", VnRegValue::String(VnString(kOldFolder) + u"Skins\\" + name + u"\\"));
        set(u"Properties", u"File Location - Image File Location", VnRegValue::String(u"[App Data Path]Cover Art\\"));
        set(u"Properties", u"General - Windows Startup Run Mode", VnRegValue::Dword(2));
        set(u"Properties", u"Library",
            VnRegValue::String(u"<XMLPH version=\"1.0\"><Item Name=\"Type\">1</Item><Item Name=\"LibraryPath\">" +
                               DataFolder(version) + u"Library\\</Item></XMLPH>"));
        set(u"Properties", u"Volume", VnRegValue::Dword(70));
        set(u"Installer", u"Install Directory", VnRegValue::String(kOldFolder));
        set(u"Dependencies", u"Runtime", VnRegValue::Dword(1));
        set(u"Views\\Installer", u"Layout", VnRegValue::String(u"Tree"));
        SimMachine().SetValue(VnRegRoot::CurrentUser, kRunKey, name,
                              VnRegValue::String(u"\"C:\\Old Player\\Tunaro.exe\" /Boot"));
        for (const char16_t* file : {u"Library\\Main.jmd", u"Settings\\View.ini", u"Cover Art\\Album.jpg",
                                     u"Thumbnails\\Album.jpg"})
            WriteFile(DataFolder(version) + file, Utf8(name) + " data");
        for (const char16_t* file : {u"Data\\Custom Art\\Play.png", u"Data\\Custom Webpages\\Index.html",
                                     u"Skins\\Own\\main.xml", u"Visualizations\\Bars.dll"})
            WriteFile(VnString(kOldFolder) + file, Utf8(name) + " file");
    }

    // Every value below a key, "path|name|type|text or bytes", for comparing trees.
    std::vector<std::string> Tree(VnRegRoot root, const VnString& key) {
        std::vector<std::string> lines;
        std::function<void(VnRegKey, const std::string&)> walk = [&](VnRegKey k, const std::string& path) {
            VnString name;
            for (uint32_t i = 0; Reg().EnumValue(k, i, name) == 0; ++i) {
                uint32_t type = 0;
                std::basic_string<uint8_t> data;
                Reg().QueryRawValue(k, name, type, data);
                lines.push_back(path + "|" + Utf8(name) + "|" + std::to_string(type) + "|" +
                                std::string(data.begin(), data.end()));
            }
            for (uint32_t i = 0; Reg().EnumKey(k, i, name) == 0; ++i) {
                VnRegKey child = 0;
                if (Reg().OpenSubKey(k, name, vnwin::kKeyRead, child) != 0) continue;
                walk(child, path + "\\" + Utf8(name));
                Reg().CloseKey(child);
            }
        };
        VnRegKey handle = 0;
        if (Reg().OpenKey(root, key, vnwin::kKeyRead, handle) == 0) {
            walk(handle, "");
            Reg().CloseKey(handle);
        }
        return lines;
    }
    std::string Current(const char16_t* below, const std::string& name) {
        return RegistryText(VnRegRoot::CurrentUser, VnString(kCurrent) + u"\\" + below, name);
    }
};

TEST_F(SettingsMigrationTest, TheNewestEarlierVersionIsMigratedOnceWithBothSubstitutions) {
    PrepareEarlierVersion(28);
    PrepareEarlierVersion(31);
    const std::vector<std::string> earlier31 = Tree(VnRegRoot::CurrentUser, Key(31));
    const std::vector<std::string> earlier28 = Tree(VnRegRoot::CurrentUser, Key(28));
    RunCopyAndInstall();

    // Texts carry both substitutions; other types and keys arrive as they were.
    EXPECT_EQ(Current(u"Properties", "Skin Folder"), "C:\\Program Files (x86)\\Tunaro\\Skins\\Tunaro 33\\");
    EXPECT_EQ(Current(u"Properties", "Volume"), "70");
    EXPECT_EQ(Current(u"Properties", "General - Windows Startup Run Mode"), "2");
    EXPECT_EQ(Current(u"Views\\Installer", "Layout"), "Tree");  // exclusions apply at the top only
    EXPECT_FALSE(SimMachine().KeyExists(VnRegRoot::CurrentUser, VnString(kCurrent) + u"\\Dependencies"));
    EXPECT_EQ(Current(u"Installer", "Install Directory"), "C:\\Program Files (x86)\\Tunaro\\");  // the record's own
    // The library reference named this version's own "Library": dropped.
    EXPECT_EQ(Current(u"Properties", "Library"), "<missing>");

    // The Run entry is the product's own now; the earlier one and its run mode are gone.
    EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, kRunKey, "Tunaro 31"), "<missing>");
    EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, kRunKey, "Tunaro 33"),
              "\"C:\\Program Files (x86)\\Tunaro\\Tunaro.exe\" /Boot");
    EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, Key(31, u"Properties"), "General - Windows Startup Run Mode"),
              "<missing>");
    std::vector<std::string> expected31 = earlier31;
    std::erase_if(expected31, [](const std::string& line) { return line.find("Run Mode") != std::string::npos; });
    EXPECT_EQ(Tree(VnRegRoot::CurrentUser, Key(31)), expected31);
    EXPECT_EQ(Tree(VnRegRoot::CurrentUser, Key(28)), earlier28);
    EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, kRunKey, "Tunaro 28"), "\"C:\\Old Player\\Tunaro.exe\" /Boot");

    // Folders: the install folder's custom data, the data folder's settings and caches.
    for (const char16_t* file : {u"Data\\Custom Art\\Play.png", u"Data\\Custom Webpages\\Index.html",
                                 u"Skins\\Own\\main.xml", u"Visualizations\\Bars.dll"})
        EXPECT_EQ(ReadFile(Installed(file)), "Tunaro 31 file") << Utf8(file);
    for (const char16_t* file : {u"Settings\\View.ini", u"Cover Art\\Album.jpg", u"Thumbnails\\Album.jpg"})
        EXPECT_EQ(ReadFile(DataFolder(33) + file), "Tunaro 31 data") << Utf8(file);
    EXPECT_TRUE(VnFileSystem::FolderExists(DataFolder(33) + u"Library"));
    EXPECT_FALSE(Exists(DataFolder(33) + u"Library\\Main.jmd"));  // the library itself stays where it is
    EXPECT_TRUE(Exists(DataFolder(33) + u"Library\\Clone.flg"));  // version 31 is no longer installed
    EXPECT_TRUE(LoggedContaining("VnTools::ReloadSettings: Every store"));

    // A second install of this version migrates nothing.
    const std::vector<std::string> current = Tree(VnRegRoot::CurrentUser, kCurrent);
    SimMachine().SetValue(VnRegRoot::CurrentUser, Key(31, u"Properties"), u"Volume", VnRegValue::Dword(5));
    Options().SameVersionInstalled = true;
    MigrateSettings();
    EXPECT_EQ(Tree(VnRegRoot::CurrentUser, kCurrent), current);
}

// Settings that must not be carried over: another or this version installed,
// a portable install, "NoUpgrade", another product name; nothing earlier at all.
TEST_F(SettingsMigrationTest, NothingIsMigratedWhereTheStepDoesNotApply) {
    PrepareEarlierVersion(31);
    const std::vector<std::pair<const char*, std::function<void(InstallOptions&)>>> cases = {
        {"NoUpgrade", [](InstallOptions& o) { o.NoUpgrade = true; }},
        {"portable", [](InstallOptions& o) { o.PortableSetup = true; }},
        {"other version installed", [](InstallOptions& o) { o.OtherVersionInstalled = true; }},
        {"same version installed", [](InstallOptions& o) { o.SameVersionInstalled = true; }},
    };
    for (const auto& [name, apply] : cases) {
        SCOPED_TRACE(name);
        InstallOptions::ResetForTests();
        Options().DestinationFolder = u"C:\\Program Files (x86)\\Tunaro\\";
        apply(Options());
        MigrateSettings();
        EXPECT_FALSE(SimMachine().KeyExists(VnRegRoot::CurrentUser, kCurrent));
        EXPECT_FALSE(Exists(DataFolder(33)));
        EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, kRunKey, "Tunaro 31"), "\"C:\\Old Player\\Tunaro.exe\" /Boot");
    }
    EXPECT_FALSE(LoggedContaining("ReloadSettings"));
}

// A fresh machine gets the carried library, marked for cloning, the shared
// settings file, and a settings store without a library choice; a machine
// with an earlier installation keeps its own.
TEST_F(SettingsMigrationTest, AFreshMachineGetsTheDefaultLibraryAndAnInstalledOneDoesNot) {
    for (bool installed : {false, true}) {
        SCOPED_TRACE(installed);
        Reg().DeleteTree(VnRegKey(VnRegRoot::CurrentUser), u"Software\\V. Arnel");
        DeleteDirectoryTree(kAppData);
        auto keep = [&](const char16_t* below, const char16_t* name, const VnRegValue& value) {
            SimMachine().SetValue(VnRegRoot::CurrentUser, VnString(kCurrent) + below, name, value);
        };
        keep(u"\\CD Writer", u"Drive", VnRegValue::String(u"E:"));
        keep(u"\\DLNA\\Servers\\Kitchen", u"Address", VnRegValue::String(u"192.0.2.1"));
        keep(u"\\DLNA", u"Enabled", VnRegValue::Dword(1));
        keep(u"\\Library Server", u"UUID", VnRegValue::String(u"{1}"));
        keep(u"\\Library Server", u"Port", VnRegValue::Dword(52199));
        keep(u"\\Properties", u"Library", VnRegValue::String(u"<XMLPH/>"));
        keep(u"\\Properties", u"Install - First Install", VnRegValue::Dword(1));
        keep(u"\\Properties", u"Volume", VnRegValue::Dword(70));
        Options().OtherVersionInstalled = installed;
        ASSERT_NO_FATAL_FAILURE(RunCopyAndInstall());

        const std::string removed = installed ? "kept" : "<missing>";
        EXPECT_EQ(Exists(DataFolder(33) + u"Library\\Clone.flg"), !installed);
        EXPECT_EQ(Exists(DataFolder(33) + u"Settings\\TV Shared Settings.ini"), !installed);
        EXPECT_FALSE(Exists(DataFolder(33) + u"Library\\Settings"));
        EXPECT_EQ(SimMachine().KeyExists(VnRegRoot::CurrentUser, VnString(kCurrent) + u"\\CD Writer"), installed);
        EXPECT_EQ(SimMachine().KeyExists(VnRegRoot::CurrentUser, VnString(kCurrent) + u"\\DLNA\\Servers"), installed);
        EXPECT_EQ(Current(u"Properties", "Library") == "<missing>", !installed);
        EXPECT_EQ(Current(u"Properties", "Install - First Install") == "<missing>", !installed);
        EXPECT_EQ(Current(u"Library Server", "UUID") == "<missing>", !installed);
        EXPECT_EQ(Current(u"Library Server", "Port"), "52199");
        EXPECT_EQ(Current(u"DLNA", "Enabled"), "1");
        EXPECT_EQ(Current(u"Properties", "Volume"), "70");
    }
}

// Hostile earlier settings: a deep tree, many values, every registry type
// (odd data included), unusual names, a locked file, an unreadable folder and
// a library reference that is not XML. Everything readable arrives, non-text
// data byte for byte, and nothing earlier changes.
TEST_F(SettingsMigrationTest, OddEarlierSettingsArriveWholeAndTheRestGoesOn) {
    PrepareEarlierVersion(31);
    VnString deep = Key(31, u"Deep");
    for (int level = 0; level < 20; ++level) deep += u"\\Level";
    SimMachine().SetValue(VnRegRoot::CurrentUser, deep, u"Bottom", VnRegValue::String(u"C:\\Old Player\\x"));
    for (int i = 0; i < 10000; ++i)
        SimMachine().SetValue(VnRegRoot::CurrentUser, Key(31, u"Many") + VnString::Format(u"\\Key %d", i % 10),
                              VnString::Format(u"Value %d", i), VnRegValue::Dword(uint32_t(i)));
    using Bytes = std::basic_string<uint8_t>;
    struct Raw {
        const char16_t* name;
        uint32_t type;
        Bytes data;
    };
    const Raw raw[] = {
        {u"Binary", vnwin::kRegBinary, Bytes{0, 1, 2, 255}},
        {u"Multi", vnwin::kRegMultiSz, Bytes{'T', 0, 'u', 0, 0, 0, 'x', 0}},  // no closing zeros
        {u"Qword", vnwin::kRegQword, Bytes{1, 2, 3, 4, 5, 6, 7, 8}},
        {u"None", vnwin::kRegNone, Bytes{9, 9, 9}},
        {u"Short Dword", vnwin::kRegDword, Bytes{7, 1}},
        {u"Unterminated", vnwin::kRegSz, Bytes{'a', 0, 'b', 0, 'c'}},  // odd length, no zero
        {u"", vnwin::kRegSz, Bytes{'d', 0, 0, 0}},                     // the default value
        {u"Na\\me = \"\u00e9\u4e2d\U0001F3B5\"", vnwin::kRegBinary, Bytes{42}},
    };
    VnRegKey key = 0;
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, Key(31, u"Types"), vnwin::kKeyReadWrite, key), 0u);
    for (const Raw& value : raw) ASSERT_EQ(Reg().SetRawValue(key, value.name, value.type, value.data), 0u);
    Reg().SetValue(key, u"Path", VnRegValue::String(u"%ProgramFiles%\\Tunaro 31", vnwin::kRegExpandSz));
    Reg().CloseKey(key);
    SimMachine().SetValue(VnRegRoot::CurrentUser, Key(31, u"Properties"), u"Library",
                          VnRegValue::String(u"<Item Name=\"Type\">1</Item><broken"));
    WriteFile(DataFolder(31) + u"Settings\\Locked.ini", "locked");
    WriteFile(DataFolder(31) + u"Cover Art\\Hidden\\Secret.jpg", "secret");
    Facts().lockedFiles.Add(DataFolder(31) + u"Settings\\Locked.ini");
    Facts().unreadableFolders.Add(DataFolder(31) + u"Cover Art\\Hidden");
    std::vector<std::string> earlier = Tree(VnRegRoot::CurrentUser, Key(31));

    MigrateSettings();

    EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, VnString(kCurrent) + deep.Mid(Key(31).GetLength()), "Bottom"),
              "C:\\Program Files (x86)\\Tunaro\\x");
    EXPECT_EQ(Tree(VnRegRoot::CurrentUser, VnString(kCurrent) + u"\\Many"), Tree(VnRegRoot::CurrentUser, Key(31, u"Many")));
    // The expandable string got its substitution and kept its type; all else is byte for byte.
    std::vector<std::string> types = Tree(VnRegRoot::CurrentUser, Key(31, u"Types"));
    std::string path;
    for (char16_t c : std::u16string_view(u"%ProgramFiles%\\Tunaro 33")) path += {char(c), char(c >> 8)};
    for (std::string& line : types)
        if (line.rfind("|Path|", 0) == 0) line = "|Path|2|" + path + std::string(2, '\0');
    EXPECT_EQ(Tree(VnRegRoot::CurrentUser, VnString(kCurrent) + u"\\Types"), types);
    // The unreadable library reference is carried as a text, with its substitutions (none apply).
    EXPECT_EQ(Current(u"Properties", "Library"), "<Item Name=\"Type\">1</Item><broken");
    EXPECT_EQ(ReadFile(DataFolder(33) + u"Settings\\View.ini"), "Tunaro 31 data");
    EXPECT_FALSE(Exists(DataFolder(33) + u"Settings\\Locked.ini"));
    EXPECT_EQ(ReadFile(DataFolder(33) + u"Cover Art\\Album.jpg"), "Tunaro 31 data");
    EXPECT_FALSE(Exists(DataFolder(33) + u"Cover Art\\Hidden\\Secret.jpg"));
    EXPECT_EQ(ReadFile(DataFolder(33) + u"Thumbnails\\Album.jpg"), "Tunaro 31 data");
    EXPECT_TRUE(LoggedContaining("CopyFolderTree: Error 32 copying file"));
    EXPECT_TRUE(LoggedContaining("CopyFolderTree: Error 5 listing folder"));
    // Earlier: only the Run mode went.
    std::erase_if(earlier,
                  [](const std::string& line) { return line.find("Run Mode") != std::string::npos; });
    EXPECT_EQ(Tree(VnRegRoot::CurrentUser, Key(31)), earlier);
    EXPECT_EQ(ReadFile(DataFolder(31) + u"Settings\\Locked.ini"), "locked");
    EXPECT_EQ(ReadFile(DataFolder(31) + u"Cover Art\\Hidden\\Secret.jpg"), "secret");
}

}  // namespace

#endif
