// The end of the install in the engine: the restart decision, the
// finalisation list with its RunOnce command and counters, the finish
// choice (run request bytes, Confirm Restart), and the clean-up of what
// earlier versions left, on the simulated machine with the demo product.
#include "InstallFilesFixture.h"

#ifndef _WIN32

#include "Finalize.h"
#include "HostFiles.h"
#include "ObsoleteFiles.h"
#include "VnFileSystem.h"

namespace {

constexpr char16_t kProductKey[] = u"Software\\V. Arnel\\Tunaro 33";
constexpr char16_t kFinalizeKey[] = u"Software\\V. Arnel\\Tunaro 33\\Installer\\Finalize";

class FinishTest : public InstallFilesTest {
protected:
    VnString Destination() { return Options().DestinationFolder; }
    std::string UserValue(const VnString& key, const std::string& name) {
        return SimMachine().Value(VnRegRoot::CurrentUser, key, name);
    }
    void SetUserValue(const VnString& key, const char16_t* name, const VnRegValue& value) {
        SimMachine().SetValue(VnRegRoot::CurrentUser, key, name, value);
    }
    std::string RunOnce() {
        return UserValue(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Install Wizard Completion");
    }
};

TEST(FinishDecisionTest, RestartFollowsTheListTheReplacementsAndTheFlags) {
    struct Case {
        VnStringArray list, replaced;
        bool restartRequired, noRun;
        bool restart;
        int32_t code;
    };
    const Case cases[] = {
        {{}, {}, false, false, false, kFinishRunProgram},                                  // nothing deferred
        {{}, {}, false, true, false, kFinishNothing},                                      // ... with /NoRun
        {{u"C:\\T\\Setup\\a.dll|C:\\T\\a.dll"}, {}, false, false, true, kFinishRestart},   // a staged file
        {{u"_DELETEFILE|C:\\T\\old.dll"}, {}, false, true, true, kFinishRestart},          // an obsolete file in use
        {{u"C:\\T\\Setup\\VnShellExt.dll|C:\\T\\VnShellExt.dll"}, {}, false, false, false, kFinishRunProgram},
        {{u"C:\\T\\Setup\\VnShellExt.dll|C:\\T\\VnShellExt.dll"}, {}, true, false, true, kFinishRestart},  // a font
        {{u"", u"|C:\\T\\x.dll", u"no bar"}, {}, false, false, false, kFinishRunProgram},  // not real pairs
        {{}, {u"C:\\T\\Tunaro.exe"}, false, false, true, kFinishRestart},                   // replaced by Windows
        {{}, {u"C:\\T\\VnShellExt.dll"}, false, false, false, kFinishRunProgram},
    };
    int row = 0;
    for (const Case& c : cases) {
        const FinishState state = DecideFinish(c.list, c.replaced, c.restartRequired, c.noRun);
        EXPECT_EQ(state.restartNeeded, c.restart) << "row " << row;
        EXPECT_EQ(state.resultCode, c.code) << "row " << row;
        ++row;
    }
}

TEST_F(FinishTest, FinalizeWritesEachKindWithItsCounterAndArmsRunOnce) {
    // No deferred work: no list, no RunOnce, the program is offered.
    FinishState state = Finalize();
    EXPECT_EQ(state.resultCode, kFinishRunProgram);
    EXPECT_FALSE(state.workDeferred);
    EXPECT_FALSE(SimMachine().KeyExists(VnRegRoot::CurrentUser, kFinalizeKey));
    EXPECT_EQ(RunOnce(), "<missing>");
    EXPECT_EQ(UserValue(VnString(kProductKey) + u"\\Installer", "Install - Install Count"), "1");
    EXPECT_EQ(UserValue(VnString(kProductKey) + u"\\Properties", "Install - First Install"), "1");
    EXPECT_NE(UserValue(VnString(kProductKey) + u"\\Properties", "Install - First Install Date"), "<missing>");

    Options().SameVersionInstalled = true;
    Options().FinalizeInstallList = {u"S\\a.dll|D\\a.dll", u"_DELETEFILE|D\\old.dll", u"S\\b.dll|D\\b.dll"};
    Options().PendingOperations = {u"_REGISTERFILE|D\\a.dll", u"_REGISTERFILE|D\\c.dll"};
    SetUserValue(VnString(kProductKey) + u"\\Installer", u"Release Channel - Pending Install Run Count",
                 VnRegValue::Dword(4));
    state = Finalize();
    EXPECT_TRUE(state.restartNeeded);
    EXPECT_TRUE(state.workDeferred);
    EXPECT_TRUE(Options().FinalizeInstallList.IsEmpty());
    EXPECT_EQ(Options().PendingOperations.GetSize(), 2);
    EXPECT_EQ(UserValue(kFinalizeKey, "Install File (0)"), "S\\a.dll|D\\a.dll");
    EXPECT_EQ(UserValue(kFinalizeKey, "Delete File (0)"), "_DELETEFILE|D\\old.dll");
    EXPECT_EQ(UserValue(kFinalizeKey, "Install File (1)"), "S\\b.dll|D\\b.dll");
    EXPECT_EQ(UserValue(kFinalizeKey, "Register File (1)"), "_REGISTERFILE|D\\c.dll");
    EXPECT_EQ(RunOnce(), "\"C:\\Program Files (x86)\\Tunaro\\PackageInstaller.exe\" \"/FinishInstall\"");
    EXPECT_EQ(UserValue(VnString(kProductKey) + u"\\Installer", "Install - Install Count"), "2");
    EXPECT_EQ(UserValue(VnString(kProductKey) + u"\\Installer", "Release Channel - Pending Install Run Count"),
              "<missing>");
    EXPECT_EQ(UserValue(VnString(kProductKey) + u"\\Properties", "File Associations - Set"), "1");
    EXPECT_EQ(UserValue(VnString(kProductKey) + u"\\Properties", "Install - First Install"), "0");
}

TEST_F(FinishTest, FinishChoiceLeavesTheRunRequestOrAsksBeforeRestarting) {
    const VnString program = Destination() + u"Tunaro.exe";
    WriteFile(program, "program");
    EXPECT_TRUE(ApplyFinishChoice(kFinishRunProgram));
    EXPECT_EQ(ReadFile(Setup() + u"Finish.txt"), Utf16FileBytes((u"VNFI0001\r\n" + program).View()));
    EXPECT_NE(Attributes(u"C:\\Program Files (x86)\\Tunaro") & vnwin::kFileAttributeReadOnly, 0u);

    SimMachine().Machine().SimShell().QueueAnswer(vnwin::kIdCancel);
    EXPECT_FALSE(ApplyFinishChoice(kFinishRestart));
    EXPECT_FALSE(SimMachine().Machine().SimShell().RestartRequested());
    SimMachine().Machine().SimShell().QueueAnswer(vnwin::kIdOk);
    EXPECT_TRUE(ApplyFinishChoice(kFinishRestart));
    EXPECT_NE(SimMachine().HostText("shell.log").find("restart requested flags 0x12 reason 0x0"), std::string::npos);

    // Silent: neither a question nor a run request.
    VnFileSystem::DeleteFile(Setup() + u"Finish.txt");
    Options().Silent = true;
    EXPECT_TRUE(ApplyFinishChoice(kFinishRestart));
    EXPECT_TRUE(ApplyFinishChoice(kFinishRunProgram));
    EXPECT_FALSE(Exists(Setup() + u"Finish.txt"));
    EXPECT_EQ(SimMachine().Machine().SimShell().Messages().GetSize(), 2);
}

TEST_F(FinishTest, CleanUpDeletesOnlyWhatIsNamedAndQueuesWhatIsInUse) {
    const VnString dest = Destination();
    for (const VnString& name : ObsoleteReleaseFiles()) WriteFile(dest + name, "old");
    WriteFile(dest + u"Web\\scripts\\remote.js", "old");
    WriteFile(dest + u"Plugins\\DirectShow\\VnDecoder\\in use.ax", "old");
    WriteFile(dest + u"Plugins\\General\\VnLyrics.dll", "current");  // not named: kept
    WriteFile(dest + u"Data\\Saved Views\\view.xml", "old");
    WriteFile(dest + u"Data\\Library.db", "user data");  // "Data\" whole only with feature 84
    WriteFile(dest + u"Setup\\staged.dll", "left over");
    Facts().lockedFiles.Add(dest + u"VnFix.dll");
    Facts().lockedFiles.Add(dest + u"Plugins\\DirectShow\\VnDecoder\\in use.ax");
    VnPlatform().Files().SetFileAttributes(dest + u"Plugins\\Input\\in_vnzip.dll", vnwin::kFileAttributeReadOnly);
    SetUserValue(kFinalizeKey, u"Install File (0)", VnRegValue::String(u"from|an earlier run"));
    SetUserValue(kFinalizeKey, u"Foreign", VnRegValue::Dword(7));
    const VnString product = kProductKey;
    SetUserValue(product + u"\\Plugins\\RemoteControl\\Device", u"Port", VnRegValue::Dword(3));
    SetUserValue(product + u"\\UPnP Server 2", u"On", VnRegValue::Dword(1));
    SetUserValue(product + u"\\Library Specific\\Only", u"Stack Updated", VnRegValue::Dword(1));
    SetUserValue(product + u"\\Library Specific\\More", u"Stack Updated", VnRegValue::Dword(1));
    SetUserValue(product + u"\\Library Specific\\More", u"Other", VnRegValue::Dword(1));
    SetUserValue(product + u"\\Properties", u"Rename From Info - Find", VnRegValue::String(u"x"));
    SetUserValue(product + u"\\Properties", u"Volume", VnRegValue::Dword(50));

    CleanInstallDirectory();

    for (const VnString& name : ObsoleteReleaseFiles())
        EXPECT_EQ(Exists(dest + name), name == u"VnFix.dll") << name.ToUtf8();
    EXPECT_EQ(Options().FinalizeInstallList, (VnStringArray{u"_DELETEFILE|" + dest + u"VnFix.dll"}));
    EXPECT_FALSE(Exists(dest + u"Web\\scripts\\remote.js"));
    EXPECT_TRUE(Exists(dest + u"Plugins\\DirectShow\\VnDecoder\\in use.ax"));  // the tree stays where it must
    EXPECT_TRUE(Exists(dest + u"Plugins\\General\\VnLyrics.dll"));
    EXPECT_FALSE(Exists(dest + u"Data\\Saved Views\\view.xml"));
    EXPECT_TRUE(Exists(dest + u"Data\\Library.db"));
    EXPECT_FALSE(Exists(dest + u"Setup\\staged.dll"));
    EXPECT_EQ(UserValue(kFinalizeKey, "Install File (0)"), "<missing>");
    EXPECT_EQ(UserValue(kFinalizeKey, "Foreign"), "<missing>");
    EXPECT_EQ(UserValue(product + u"\\PluginsRemoteControl\\Device", "Port"), "3");
    EXPECT_FALSE(SimMachine().KeyExists(VnRegRoot::CurrentUser, product + u"\\Plugins\\RemoteControl"));
    EXPECT_FALSE(SimMachine().KeyExists(VnRegRoot::CurrentUser, product + u"\\UPnP Server 2"));
    EXPECT_FALSE(SimMachine().KeyExists(VnRegRoot::CurrentUser, product + u"\\Library Specific\\Only"));
    EXPECT_TRUE(SimMachine().KeyExists(VnRegRoot::CurrentUser, product + u"\\Library Specific\\More"));
    EXPECT_EQ(UserValue(product + u"\\Properties", "Rename From Info - Find"), "<missing>");
    EXPECT_EQ(UserValue(product + u"\\Properties", "Volume"), "50");
}

TEST(ObsoleteListTest, ItemsAreUsedAsGivenAndEmptyOnesPassedOver) {
    EXPECT_EQ(SplitObsoleteFileList(u";C:\\a.dll;; C:\\b.dll ;"), (VnStringArray{u"C:\\a.dll", u" C:\\b.dll "}));
    EXPECT_TRUE(SplitObsoleteFileList(u"").IsEmpty());
    VnString many;
    for (int i = 0; i < 5000; ++i) many += VnString::Format(u"C:\\Old\\%d.dll;", i);
    EXPECT_EQ(SplitObsoleteFileList(many).GetSize(), 5000);
}

}  // namespace

#endif  // _WIN32
