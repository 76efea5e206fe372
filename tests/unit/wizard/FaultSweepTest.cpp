// The fault sweep: over an older installation of the demo product, one whole
// silent install per fault and file, on 32- and 64-bit Windows, with the
// product on C: and on D:; then a simulated restart, which replaces what
// Windows was asked to and runs the finalisation the installer armed. For
// every case: each installed file is its old or its new bytes (never missing,
// never cut short); each file promised to the restart is new after it; no
// staged copy is left anywhere; the exit code is the documented one.
//
// The older installation is made once per kind of machine (a first install,
// its files then aged and one folder removed) and copied for each case.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FileCopy.h"
#include "HostFiles.h"
#include "InstallExitCodes.h"
#include "InstallOptions.h"
#include "InstallRunLog.h"
#include "SimInstallerRun.h"
#include "SimTestMachine.h"
#include "VnFileSystem.h"
#include "WizardTestFixture.h"

namespace fs = std::filesystem;

namespace {

enum class Fault { kLocked, kReadOnly, kDiskFull, kFolderUncreatable, kLockedAndMoveFileExRefused };
const std::pair<Fault, const char*> kFaults[] = {
    {Fault::kLocked, "locked"},         {Fault::kReadOnly, "read-only"},
    {Fault::kDiskFull, "disk full"},    {Fault::kFolderUncreatable, "folder uncreatable"},
    {Fault::kLockedAndMoveFileExRefused, "locked, MoveFileEx refused"},
};

struct MachineKind {
    bool windows64;
    bool productOnD;
    std::string Label() const {
        return std::string(windows64 ? "64-bit" : "32-bit") + (productOnD ? ", product on D:" : ", product on C:");
    }
};

// Where a swept file lies: in the product folder, or in a system folder.
enum class Place { kProduct, kSystemNative, kSystem32Bit, kFonts };
struct SweptFile {
    Place place;
    const char16_t* name;    // below its folder
    const char16_t* source;  // below the set-up folder
    bool coreLibrary;        // Retry/Cancel, then the critical error, when it cannot be copied
    bool only64;             // exists only on 64-bit Windows
    bool folderIsNew;        // its folder is missing from the older installation
};
const SweptFile kFiles[] = {
    {Place::kProduct, u"Tunaro.exe", u"Playmoor\\Tunaro.exe", false, false, false},
    {Place::kProduct, u"VnPlayer.dll", u"Playmoor\\VnPlayer.dll", true, false, false},
    {Place::kProduct, u"x64\\VnPlayer.dll", u"Playmoor\\x64\\VnPlayer.dll", true, true, false},
    {Place::kProduct, u"Data\\Languages\\English\\Language.ini", u"Playmoor\\Data\\Languages\\English\\Language.ini",
     false, false, true},
    {Place::kSystem32Bit, u"VnCodecSupport.dll", u"System\\Check Version\\VnCodecSupport.dll", false, false, false},
    {Place::kSystemNative, u"VnCodecSupport.dll", u"System\\Check Version\\VnCodecSupport.dll", false, true, false},
    {Place::kFonts, u"DejaVuSansMono.ttf", u"Fonts\\DejaVuSansMono.ttf", false, false, false},
};

int ExpectedExitCode(Fault fault, const SweptFile& file) {
    switch (fault) {
    case Fault::kReadOnly: return kExitCompleted;
    case Fault::kDiskFull:
    case Fault::kFolderUncreatable: return kExitFailed;
    case Fault::kLocked:
    case Fault::kLockedAndMoveFileExRefused: return file.coreLibrary ? kExitFailed : kExitRestartNeeded;
    }
    return -1;
}

class Sweep {
public:
    explicit Sweep(MachineKind kind) : kind_(kind) {}
    ~Sweep() {
        std::error_code ignored;
        if (!snapshot_.empty()) fs::remove_all(snapshot_, ignored);
    }

    VnString Product() const { return product_; }
    VnString Setup() const { return setup_; }
    VnString PathOf(const SweptFile& file) const {
        switch (file.place) {
        case Place::kProduct: return product_ + file.name;
        case Place::kSystemNative: return u"C:\\Windows\\system32\\" + VnString(file.name);
        case Place::kSystem32Bit:
            return (kind_.windows64 ? u"C:\\Windows\\SysWOW64\\" : u"C:\\Windows\\system32\\") + VnString(file.name);
        case Place::kFonts: return u"C:\\Windows\\Fonts\\" + VnString(file.name);
        }
        return VnString();
    }
    // Every installed file that comes from the payload, by its path as a
    // 64-bit program sees it, with its source below the set-up folder.
    const std::map<std::string, std::string>& Tracked() const { return tracked_; }
    const std::map<std::string, std::string>& OldBytes() const { return oldBytes_; }

    // The older installation, once: a first install, every tracked file then
    // given other bytes, and the folders new in this version removed.
    ::testing::AssertionResult MakeOlderInstallation() {
        std::string facts = kind_.windows64 ? "[Windows]\nBits=64\n" : "[Windows]\nBits=32\n";
        if (kind_.productOnD)
            facts += "[Drive C]\nFree=200 GB\nTotal=500 GB\n[Drive D]\nFree=100 GB\nTotal=200 GB\n[Folders]\nProgramFiles=D:\\Program Files\n"
                     "ProgramFilesX86=D:\\Program Files (x86)\n";
        auto machine = std::make_unique<SimTestMachine>(facts);
        machine->MakeSystemFolders();
        const VnString programFiles = machine->Facts().SpecialFolder(
            kind_.windows64 ? vnwin::kCsidlProgramFilesX86 : vnwin::kCsidlProgramFiles);
        // The wizard proposes the folder Windows names in the registry.
        for (bool view64 : {false, true})
            machine->SetValue(VnRegRoot::LocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                              u"ProgramFilesDir", VnRegValue::String(programFiles), view64);
        setup_ = DefaultSetupFolder(machine->Machine());
        if (!machine->CopyDemoSetup(setup_)) return ::testing::AssertionFailure() << "the demo set-up is not built";
        const int code = RunInstall(machine->Machine());
        if (code != kExitCompleted) return ::testing::AssertionFailure() << "first install ended with " << code;
        product_ = programFiles + u"\\V Arnel\\Tunaro 33\\";
        if (!machine->Exists(product_ + u"Tunaro.exe"))
            return ::testing::AssertionFailure() << "no Tunaro.exe in " << product_.ToUtf8();

        machine->Facts().run.wow64FsRedirection = false;  // the test looks as a 64-bit program
        TrackPayloadFolder(*machine, u"Playmoor\\", product_, u"Playmoor\\");
        for (const char16_t* licence : {u"License.txt", u"License.LGPL2.1.txt", u"License.LGPL3.txt"})
            Track(*machine, product_ + licence, setup_ + licence);
        for (const SweptFile& file : kFiles)
            if (!file.only64 || kind_.windows64) Track(*machine, PathOf(file), setup_ + file.source);
        for (const auto& [path, source] : tracked_) {
            const std::string old = "an older " + path;
            machine->WriteFile(VnString::FromUtf8(path), old);
            oldBytes_[path] = old;
        }
        for (const SweptFile& file : kFiles)
            if (file.folderIsNew) {
                const VnString folder = FolderOf(PathOf(file));
                for (auto it = oldBytes_.begin(); it != oldBytes_.end();)
                    it = VnString::FromUtf8(it->first).StartsWithNoCase(folder.View()) ? oldBytes_.erase(it)
                                                                                       : std::next(it);
                DeleteDirectoryTree(folder);
            }
        std::string error;
        if (!machine->Machine().Flush(error)) return ::testing::AssertionFailure() << error;
        snapshot_ = machine->Folder() + "-older";
        fs::copy(machine->Folder(), snapshot_, fs::copy_options::recursive);
        return ::testing::AssertionSuccess();
    }

    // A new machine folder holding the older installation.
    std::string CopyOfOlderInstallation(int number) const {
        const std::string folder = snapshot_ + "-case" + std::to_string(number);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        fs::copy(snapshot_, folder, fs::copy_options::recursive);
        return folder;
    }

    static int RunInstall(VnSimPlatform& machine) {
        machine.Facts().run.wow64FsRedirection = true;  // as every process starts
        return RunSilentInstall(machine, DefaultSetupFolder(machine));
    }

private:
    void Track(SimTestMachine& machine, const VnString& installed, const VnString& source) {
        if (!machine.Exists(installed)) return;
        tracked_[installed.ToUtf8()] = source.ToUtf8();
    }
    void TrackPayloadFolder(SimTestMachine& machine, const VnString& sourceBelowSetup, const VnString& target,
                            const VnString& sourcePrefix) {
        VnCoreArray<VnFindData> entries;
        machine.Machine().Files().FindFiles(setup_ + sourceBelowSetup + u"*", entries);
        for (const VnFindData& entry : entries) {
            if (entry.attributes & vnwin::kFileAttributeDirectory)
                TrackPayloadFolder(machine, sourceBelowSetup + entry.name + u"\\", target + entry.name + u"\\",
                                   sourcePrefix + entry.name + u"\\");
            else
                Track(machine, target + entry.name, setup_ + sourcePrefix + entry.name);
        }
    }

    MachineKind kind_;
    std::string snapshot_;
    VnString setup_, product_;
    std::map<std::string, std::string> tracked_;   // installed path -> source path
    std::map<std::string, std::string> oldBytes_;  // installed path -> its bytes in the older installation
};

// The files the install promised to the restart: replacements Windows was
// asked for, and files staged for finalisation (still in the list, or
// already written to the product's "Installer\Finalize" key).
std::vector<std::string> PromisedFiles() {
    std::vector<std::string> promised;
    for (const VnString& target : ReplacementsWaitingForRestart()) promised.push_back(target.ToUtf8());
    auto addStaged = [&](const VnString& entry) {
        const int32_t bar = entry.Find(u'|');
        VnString target = entry.Mid(bar + 1);
        target.Replace(u"\\Sysnative\\", u"\\system32\\");  // how the 32-bit finaliser names system32
        if (bar > 0 && bar + 1 < entry.GetLength() && entry.Left(bar) != u"_DELETEFILE")
            promised.push_back(target.ToUtf8());
    };
    for (const VnString& entry : InstallOptions::Get().FinalizeInstallList) addStaged(entry);
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey list = 0;
    if (registry.OpenKey(VnRegRoot::CurrentUser, u"Software\\V. Arnel\\Tunaro 33\\Installer\\Finalize",
                         vnwin::kKeyRead, list) == 0) {
        VnString name;
        VnRegValue value;
        for (uint32_t i = 0; registry.EnumValue(list, i, name, &value) == 0; ++i)
            if (name.StartsWith(u"Install File")) addStaged(value.text);
        registry.CloseKey(list);
    }
    return promised;
}

// A file as a 64-bit program outside sees it, locked or not; "<missing>" when absent.
std::string BytesOf(VnSimPlatform& machine, const std::string& path) {
    VnSimFacts& facts = machine.Facts();
    const VnStringArray locked = facts.lockedFiles;
    const bool redirection = facts.run.wow64FsRedirection;
    facts.lockedFiles.RemoveAll();
    facts.run.wow64FsRedirection = false;
    std::string bytes;
    if (machine.Files().ReadFile(VnString::FromUtf8(path), bytes) != 0) bytes = "<missing>";
    facts.lockedFiles = locked;
    facts.run.wow64FsRedirection = redirection;
    return bytes;
}

// Staged copies and set-aside originals anywhere on the machine's drives.
std::vector<std::string> LeftoverStagedFiles(const std::string& machineFolder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(machineFolder + "/drives")) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".~vnstaged") || name.ends_with(".replaced.tmp")) found.push_back(entry.path().string());
    }
    return found;
}

class FaultSweepTest : public ::testing::TestWithParam<MachineKind> {};

TEST_P(FaultSweepTest, NothingLostNothingPromisedLeftUndone) {
    const MachineKind kind = GetParam();
    Sweep sweep(kind);
    ASSERT_TRUE(sweep.MakeOlderInstallation());
    int cases = 0;
    for (const SweptFile& file : kFiles) {
        if (file.only64 && !kind.windows64) continue;
        for (const auto& [fault, faultName] : kFaults) {
            // Only a folder the older installation lacks can fail to be created;
            // a file it lacks can be neither locked nor read-only.
            if ((fault == Fault::kFolderUncreatable) != file.folderIsNew && fault != Fault::kDiskFull) continue;
            const VnString target = sweep.PathOf(file);
            SCOPED_TRACE(kind.Label() + ": " + faultName + " at " + target.ToUtf8());
            ++cases;
            std::string folder = sweep.CopyOfOlderInstallation(cases);
            std::string error;
            std::unique_ptr<VnSimPlatform> machine = VnSimPlatform::OpenMachine(folder, error);
            ASSERT_TRUE(machine) << error;
            VnSetPlatform(machine.get());
            VnSimFacts& facts = machine->Facts();
            facts.run.wow64FsRedirection = false;  // the test sets up as a 64-bit program
            switch (fault) {
            case Fault::kLocked: facts.lockedFiles.Add(target); break;
            case Fault::kReadOnly:
                ASSERT_EQ(machine->Files().SetFileAttributes(target, vnwin::kFileAttributeReadOnly), 0u);
                break;
            case Fault::kDiskFull: facts.diskFullAt.Add(target); break;
            case Fault::kFolderUncreatable: facts.uncreatableFolders.Add(FolderOf(target)); break;
            case Fault::kLockedAndMoveFileExRefused:
                facts.lockedFiles.Add(target);
                facts.moveFileExRefuses = true;
                break;
            }
            std::map<std::string, std::string> newBytes;
            for (const auto& [path, source] : sweep.Tracked()) newBytes[path] = BytesOf(*machine, source);
            auto oldOrNew = [&](const char* when) {
                for (const auto& [path, bytes] : newBytes) {
                    const std::string now = BytesOf(*machine, path);
                    const auto old = sweep.OldBytes().find(path);
                    const bool isOld = old != sweep.OldBytes().end() && now == old->second;
                    const bool wasAbsent = old == sweep.OldBytes().end() && now == "<missing>";
                    EXPECT_TRUE(now == bytes || isOld || wasAbsent) << when << ": " << path << " holds " << now.size()
                                                                   << " bytes of neither version";
                }
            };

            const int code = Sweep::RunInstall(*machine);
            EXPECT_EQ(code, ExpectedExitCode(fault, file));
            oldOrNew("after the install");
            const std::vector<std::string> promised = PromisedFiles();
            if (code == kExitCompleted) { EXPECT_TRUE(promised.empty()); }
            if (code == kExitRestartNeeded) { EXPECT_FALSE(promised.empty()); }

            VnStringArray problems;
            EXPECT_TRUE(machine->SimulateRestart(&problems)) << problems.Join(u"; ").ToUtf8();
            oldOrNew("after the restart");
            for (const std::string& path : promised) {
                const auto expected = newBytes.find(VnString::FromUtf8(path).ToUtf8());
                ASSERT_NE(expected, newBytes.end()) << "promised an untracked file " << path;
                EXPECT_TRUE(BytesOf(*machine, path) == expected->second) << path << " is not new after the restart";
            }
            // A completed install is whole after the restart; one that failed left its file as it was.
            if (code != kExitFailed) {
                for (const auto& [path, bytes] : newBytes)
                    EXPECT_TRUE(BytesOf(*machine, path) == bytes) << path << " is not new";
            }
            if (code == kExitFailed && !file.coreLibrary) {
                const auto old = sweep.OldBytes().find(target.ToUtf8());
                EXPECT_EQ(BytesOf(*machine, target.ToUtf8()),
                          old == sweep.OldBytes().end() ? std::string("<missing>") : old->second);
            }
            EXPECT_EQ(LeftoverStagedFiles(folder), std::vector<std::string>());
            VnSetPlatform(nullptr);
            machine.reset();
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
    }
    std::printf("[ sweep    ] %s: %d cases\n", kind.Label().c_str(), cases);
}

INSTANTIATE_TEST_SUITE_P(Machines, FaultSweepTest,
                         ::testing::Values(MachineKind{true, false}, MachineKind{true, true}, MachineKind{false, false},
                                           MachineKind{false, true}),
                         [](const ::testing::TestParamInfo<MachineKind>& info) {
                             return std::string(info.param.windows64 ? "Windows64" : "Windows32") +
                                    (info.param.productOnD ? "ProductOnD" : "ProductOnC");
                         });

}  // namespace

#endif  // _WIN32
