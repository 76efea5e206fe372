// Round trips: a machine as Windows has it, with another program owning
// ".mp3" and a MIME type the product also registers; snapshot; the demo
// product installed (silently or through the wizard, once or as an upgrade
// over the earlier version) by the runner; then the uninstaller, silent;
// snapshot again. The two differ only by the documented leftovers, and the
// earlier owners have their types back.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "SimMachineSnapshot.h"
#include "SimUninstallerRun.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr char16_t kProduct[] = u"C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\";
constexpr char16_t kMp3[] = u"Software\\Classes\\.mp3";
constexpr char16_t kRssMime[] = u"Software\\Classes\\MIME\\Database\\Content Type\\application/rss+xml";

// What an uninstall leaves on purpose (docs/uninstall-record.md): log files,
// the program's settings and library, system files and fonts other programs
// may share, the runtime the dependency step installed, the set-up folder the
// user downloaded, and the stand-in programs' own records of their starts.
const char* const kLeftovers[] = {
    "C:\\Users\\User\\AppData\\Local\\Temp\\",
    "C:\\Users\\User\\AppData\\Roaming\\V. Arnel\\",
    "C:\\Users\\User\\Downloads\\",
    "C:\\Windows\\",
    "[HKEY_CURRENT_USER\\Software\\V. Arnel]",
    "HKEY_CURRENT_USER\\Software\\V. Arnel\\",
    "[HKEY_CURRENT_USER\\Software\\V. Arnel\\",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\EdgeUpdate",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\EdgeUpdate",
};

struct Scenario {
    const char* name;
    std::vector<const char*> setups;  // installed in this order: "setup" or "setup-earlier"
    bool interactive = false;         // the first install through the wizard
    bool associate = false;           // ".mp3" taken by the product's association writer after the install
    bool takenSince = false;          // ... and then given to another program by the user
    bool userFile = false;            // a file of the user's in the installation folder
    bool lockedFile = false;          // the program file held open during the uninstall
    uint32_t exitCode = 0;
    std::vector<std::string> differences{};  // besides the leftovers (start of the line)
    const char* firstFolder = nullptr;     // the interactive first install's folder, typed in
    bool folderForgotten = false;          // the upgrade cannot find it and installs into the default folder
};

// gtest names a failing case's parameter by this instead of its bytes.
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

std::string SetupFolder(const char* variant) {
    if (const char* given = std::getenv("VN_DEMO_SETUP_DIR")) return (fs::path(given).parent_path() / variant).string();
    return (fs::path(VN_UNINSTALL_SETUP_DIR).parent_path() / variant).string();
}

void SetText(IVnRegistry& registry, VnRegRoot root, const VnString& key, const VnString& name, const VnString& text,
             uint32_t view = 0) {
    VnRegKey handle = 0;
    ASSERT_EQ(registry.CreateKey(root, key, vnwin::kKeyReadWrite | view, handle), 0u) << key.ToUtf8();
    registry.SetValue(handle, name, VnRegValue::String(text));
    registry.CloseKey(handle);
}

std::string Text(IVnRegistry& registry, const VnString& key, const VnString& name) {
    VnRegKey handle = 0;
    if (registry.OpenKey(VnRegRoot::LocalMachine, key, vnwin::kKeyRead, handle)) return "<no key>";
    VnRegValue value;
    const bool found = registry.QueryValue(handle, name, value) == 0;
    registry.CloseKey(handle);
    return found ? value.text.ToUtf8() : "<missing>";
}

// The folders and keys every Windows machine has, which a new simulated machine lacks.
void MakeWindowsPlaces(VnSimPlatform& machine) {
    for (int csidl : {vnwin::kCsidlProgramFilesX86, vnwin::kCsidlPrograms, vnwin::kCsidlDesktopDirectory,
                      vnwin::kCsidlQuickLaunch, vnwin::kCsidlFonts, vnwin::kCsidlSystem, vnwin::kCsidlSystemX86,
                      vnwin::kCsidlLocalAppData, vnwin::kCsidlAppData}) {
        VnString path;
        for (const VnString& part : VnStringArray::Split(machine.System().GetSpecialFolder(csidl).View(), u"\\")) {
            path += part + u"\\";
            if (path.GetLength() > 3) machine.Files().CreateDirectory(path);
        }
    }
    machine.Files().CreateDirectory(machine.System().GetSpecialFolder(vnwin::kCsidlLocalAppData) + u"\\Temp");
    IVnRegistry& registry = machine.Registry();
    const VnString handlers = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";
    for (uint32_t view : {vnwin::kKeyWow64_32Key, vnwin::kKeyWow64_64Key})
        for (const char16_t* key : {u"Handlers", u"EventHandlers"})
            SetText(registry, VnRegRoot::LocalMachine, handlers + key, u"", u"", view);
    SetText(registry, VnRegRoot::LocalMachine, u"Software\\Classes\\Applications", u"", u"");
    for (uint32_t view : {vnwin::kKeyWow64_32Key, vnwin::kKeyWow64_64Key})
        for (const char16_t* key : {u"Software\\Clients\\Media", u"Software\\RegisteredApplications"})
            SetText(registry, VnRegRoot::LocalMachine, key, u"", u"", view);
    // Another program owns ".mp3" and the RSS feed type.
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"", u"Other.AssocFile.MP3");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"Content Type", u"audio/mpeg");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"PerceivedType", u"audio");
    SetText(registry, VnRegRoot::LocalMachine, kRssMime, u"Extension", u".xml");
    SetText(registry, VnRegRoot::LocalMachine, kRssMime, u"CLSID", u"{25336920-03F9-11CF-8FD0-00AA00686F13}");
}

// ".mp3" taken as the product's association writer takes an extension: the
// earlier texts kept in its backup values.
void AssociateMp3(IVnRegistry& registry) {
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"Tunaro.33.0.44.Default.BAK", u"Other.AssocFile.MP3");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"", u"Tunaro.33.0.44.File");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"Tunaro.33.0.44.PerceivedType.BAK", u"audio");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"PerceivedType", u"");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"Tunaro.33.0.44.ContentType.BAK", u"audio/mpeg");
    SetText(registry, VnRegRoot::LocalMachine, kMp3, u"Content Type", u"");
}

class UninstallRoundTripTest : public ::testing::TestWithParam<Scenario> {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        folder_ = (fs::temp_directory_path() / ("vn-uninstall-" + std::to_string(::getpid()) + "-" + name)).string();
        fs::remove_all(folder_);
    }
    void TearDown() override {
        machine_.reset();
        if (!HasFailure()) fs::remove_all(folder_);
    }
    VnSimPlatform& Open() {
        machine_.reset();
        std::string error;
        machine_ = VnSimPlatform::OpenMachine(folder_, error);
        EXPECT_TRUE(machine_) << error;
        return *machine_;
    }
    void Close() {
        std::string error;
        if (machine_) machine_->Flush(error);
        machine_.reset();
    }
    int RunRunner(const std::string& setup, bool interactive, const char* folder) {
        std::string command = std::string("'") + VN_UNINSTALL_RUNNER + "' --machine '" + folder_ + "' --setup '" +
                              SetupFolder(setup.c_str()) + "'";
        if (interactive) {
            const std::string answers = folder_ + "-answers.txt";
            // On the file types page a default is unticked and an extra type ticked.
            std::ofstream(answers) << "press Accept\nchoose Custom\npress Next >\npress Next >\n"
                                   << (folder ? std::string("type Install to: = ") + folder + "\n" : "")
                                   << "press Next >\nwait 20000\nuntick wav\ntick ogg\npress Next >\npress Next >\n"
                                      "press Finish\n";
            command += " --answers '" + answers + "'";
        } else {
            command += " -- /Silent /NoRun";
        }
        return std::system((command + " > '" + folder_ + "-runner.txt' 2>&1").c_str());
    }

    // The installation's folder gone from the product family's record and
    // the installer's settings (a registry cleaner, another user): the next
    // install takes the default folder.
    void ForgetInstallFolder() {
        IVnRegistry& registry = Open().Registry();
        for (const auto& [root, key, name] :
             {std::tuple{VnRegRoot::LocalMachine, u"Software\\V. Arnel\\Tunacore\\Installations\\Tunaro 33", u"Path"},
              std::tuple{VnRegRoot::CurrentUser, u"Software\\V. Arnel\\Tunaro 33\\Installer", u"Install Directory"}}) {
            VnRegKey handle = 0;
            ASSERT_EQ(registry.OpenKey(root, key, vnwin::kKeyReadWrite, handle), 0u) << VnString(key).ToUtf8();
            EXPECT_EQ(registry.DeleteValue(handle, name), 0u) << VnString(name).ToUtf8();
            registry.CloseKey(handle);
        }
        Close();
    }

    std::string folder_;
    std::unique_ptr<VnSimPlatform> machine_;
};

TEST_P(UninstallRoundTripTest, LeavesTheMachineAsItWasBut) {
    const Scenario& scenario = GetParam();
    if (!fs::exists(SetupFolder("setup")) || !fs::exists(SetupFolder("setup-earlier")))
        GTEST_SKIP() << "the demo set-up folders are not built";
    MakeWindowsPlaces(Open());
    Close();
    const SimMachineSnapshot before = SimMachineSnapshot::Take(Open());
    Close();

    bool first = true;
    for (const char* setup : scenario.setups) {
        if (!first && scenario.folderForgotten) ForgetInstallFolder();
        ASSERT_EQ(RunRunner(setup, scenario.interactive && first, scenario.firstFolder), 0)
            << "the runner failed, see " << folder_;
        first = false;
    }
    VnSimPlatform& machine = Open();
    ASSERT_TRUE(machine.Files().GetFileAttributes(VnString(kProduct) + u"VnMediaUninstall.dat") !=
                vnwin::kInvalidFileAttributes);
    if (scenario.folderForgotten) {  // two installations, the upgrade's record holding the first's
        EXPECT_NE(machine.Files().GetFileAttributes(VnString::FromUtf8(scenario.firstFolder) + u"\\Tunaro.exe"),
                  vnwin::kInvalidFileAttributes);
    }
    if (scenario.interactive) {  // the choices on the file types page took effect
        EXPECT_EQ(Text(machine.Registry(), u"Software\\Classes\\.ogg", u"").rfind("Tunaro.", 0), 0u);
        EXPECT_EQ(Text(machine.Registry(), u"Software\\Classes\\.wav", u"").find("Tunaro."), std::string::npos);
    }
    if (scenario.associate) AssociateMp3(machine.Registry());
    if (scenario.takenSince) SetText(machine.Registry(), VnRegRoot::LocalMachine, kMp3, u"", u"Another.Player.mp3");
    if (scenario.userFile) machine.Files().WriteFile(VnString(kProduct) + u"my playlist.m3u", "#EXTM3U\r\n");
    if (scenario.lockedFile) machine.Facts().lockedFiles.Add(VnString(kProduct) + u"Tunaro.exe");

    std::string error;
    const VnString uninstaller = FindUninstallerPath(machine);
    ASSERT_EQ(uninstaller, VnString(kProduct) + u"VnMediaUninstall.exe");
    EXPECT_EQ(RunUninstallerInMachine(machine, uninstaller, u"/Silent", error), int(scenario.exitCode)) << error;
    if (scenario.lockedFile) {
        EXPECT_TRUE(machine.Files().GetFileAttributes(VnString(kProduct) + u"Tunaro.exe") !=
                    vnwin::kInvalidFileAttributes);
        machine.SimulateRestart();
    }
    EXPECT_EQ(Text(machine.Registry(), kMp3, u""), scenario.takenSince ? "Another.Player.mp3" : "Other.AssocFile.MP3");
    EXPECT_EQ(Text(machine.Registry(), kRssMime, u"CLSID"), "{25336920-03F9-11CF-8FD0-00AA00686F13}");
    Close();

    const SimMachineChanges changes = CompareSnapshots(before, SimMachineSnapshot::Take(Open()));
    std::vector<std::string> differences;
    const bool print = std::getenv("VN_PRINT_UNINSTALL_DIFFERENCES") != nullptr;  // for the documented list
    for (const std::vector<std::string>* lines : {&changes.files, &changes.registry})
        for (const std::string& line : *lines) {
            if (print) std::cout << "  " << scenario.name << ": " << line << "\n";
            bool leftover = false;
            for (const char* place : kLeftovers) leftover = leftover || line.find(place) == 2;
            if (!leftover) differences.push_back(line);
        }
    std::vector<std::string> unexpected;
    for (const std::string& line : differences) {
        bool expected = false;
        for (const std::string& start : scenario.differences) expected = expected || line.rfind(start, 0) == 0;
        if (!expected) unexpected.push_back(line);
    }
    EXPECT_EQ(unexpected, std::vector<std::string>()) << "machine kept in " << folder_;
    for (const std::string& start : scenario.differences) {
        bool found = false;
        for (const std::string& line : differences) found = found || line.rfind(start, 0) == 0;
        EXPECT_TRUE(found) << "expected difference missing: " << start;
    }
}

const std::string kUserFileLines[] = {
    "+ C:\\Program Files (x86)\\V Arnel\\",
    "+ C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\",
    "+ C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\my playlist.m3u",
};
const std::string kTakenSinceLines[] = {
    "~ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mp3 : @ = \"Another.Player.mp3\"",
    "+ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mp3 : \"Tunaro.33.0.44.Default.BAK\"",
    "+ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mp3 : \"Tunaro.33.0.44.PerceivedType.BAK\"",
    "+ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mp3 : \"Tunaro.33.0.44.ContentType.BAK\"",
    "~ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mp3 : \"PerceivedType\"",
    "~ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mp3 : \"Content Type\"",
    // The MIME types the writer pointed at ".mp3" go with it to its new owner.
    "+ [HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\audio/",
    "+ HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\audio/",
};

INSTANTIATE_TEST_SUITE_P(
    Scenarios, UninstallRoundTripTest,
    ::testing::Values(
        Scenario{"InteractiveInstallTypesGivenBack", {"setup"}, true, true},
        Scenario{"SilentInstall", {"setup"}},
        Scenario{"UpgradeOverTheEarlierVersion", {"setup-earlier", "setup"}, false, true},
        Scenario{"UserFileStaysWithItsFolder", {"setup"}, false, false, false, true, false, 0,
                 {std::begin(kUserFileLines), std::end(kUserFileLines)}},
        Scenario{"TypeTakenSinceIsLeftAlone", {"setup"}, false, true, true, false, false, 0,
                 {std::begin(kTakenSinceLines), std::end(kTakenSinceLines)}},
        Scenario{"FileInUseGoesAtTheRestart", {"setup"}, false, false, false, false, true, 3010},
        Scenario{.name = "UpgradeIntoAnotherFolder",
                 .setups = {"setup-earlier", "setup"},
                 .interactive = true,
                 .associate = true,
                 .firstFolder = "C:\\Program Files (x86)\\Tunaro",
                 .folderForgotten = true}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

}  // namespace

#endif
