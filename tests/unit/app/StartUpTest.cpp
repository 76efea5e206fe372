// Start-up from the entry to the wizard hand-off on the simulated machine:
// what a clean run leaves behind, the single-instance rule, the install
// description, the launcher, an installed copy and the Ctrl+Shift+F skip (the
// refusals before the wizard are the preflight tests').
#ifndef _WIN32

#include <gtest/gtest.h>

#include "AppRuntimeCalls.h"
#include "InstallExitCodes.h"
#include "InstallOptions.h"
#include "StartUpFixture.h"
#include "WizardHandOff.h"

namespace {

TEST_F(StartUpTest, CleanRunReachesTheHandOffAndPreparesThePayload) {
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_TRUE(WizardHandOffReached());
    EXPECT_EQ(MessageCount(), 0);

    // The launcher is renamed to the product's name and copied into the program tree.
    EXPECT_FALSE(Exists(u"C:\\Setup\\System\\Always Overwrite\\Tunacore Launcher.exe"));
    EXPECT_TRUE(Exists(u"C:\\Setup\\System\\Always Overwrite\\Tunaro Launcher.exe"));
    EXPECT_TRUE(Exists(u"C:\\Setup\\Playmoor\\Tunaro Launcher.exe"));

    // The rights check leaves the company key and nothing below it (32-bit view on 64-bit Windows).
    EXPECT_TRUE(KeyExists(VnRegRoot::LocalMachine, u"Software\\Wow6432Node\\V. Arnel"));
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, u"Software\\Wow6432Node\\V. Arnel\\Rights Check"));

    // The skin style named by the product is used, and the hand-off is in the log.
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "VnSkin: Titlebar icon: Titlebar Icon"));
    EXPECT_TRUE(Contains(log, "VnSkin: Skin folder: C:\\Setup\\Playmoor\\Skins\\Standard View\\Graphite\r\n"));
    EXPECT_TRUE(Contains(log, "CInstallWizard: Hand-off reached"));

    // The framework's process calls are undone by the shutdown path.
    EXPECT_EQ(GetAppRuntimeRecord().errorMode, kSemFailCriticalErrors | kSemNoOpenFileErrorBox);
    EXPECT_EQ(GetAppRuntimeRecord().oleInitialized, 0);
}

TEST_F(StartUpTest, SkinFallsBackToTheWholeMegaSkinPathWhenTheStyleIsNotUsable) {
    WriteFile(u"C:\\Setup\\Playmoor\\Skins\\Standard View\\Graphite\\main.xml",
              "<PMMS version=\"3.0\" style=\"Neon\"><MAINFRAME/></PMMS>");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_TRUE(Contains(LogText(), "VnSkin: Skin folder: C:\\Setup\\Playmoor\\Skins\\Standard View\\Standard "
                                    "View\\Graphite\r\n"));
}

TEST_F(StartUpTest, SecondInstanceStopsAtTheInstanceCheckAfterTheLanguageChooser) {
    WriteProduct({.showLanguageSelection = 1});

    CInstallApp first;
    EXPECT_EQ(Run(first, u""), kExitStoppedAtWizardHandOff);  // still holds the mutex
    ForgetWizardHandOff();
    {
        CInstallApp second;
        EXPECT_EQ(Run(second, u"/Silent"), kExitFailed);
        EXPECT_EQ(second.InstanceMutexError(), vnwin::kErrorAlreadyExists);
    }
    EXPECT_FALSE(WizardHandOffReached());
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0).title, u"Varnel Installer");
    EXPECT_EQ(Message(0).text, kAnotherInstanceText);

    // The library, the description, the options and the chooser came first.
    const std::string log = LogText();
    const size_t box = log.find("\"Varnel Installer\"");
    ASSERT_NE(box, std::string::npos);
    EXPECT_LT(log.find("Language chooser"), box);  // a missing chooser line (npos) fails here too
    EXPECT_TRUE(InstallOptions::Get().Silent);
}

TEST_F(StartUpTest, CtrlShiftFSkipsEveryPreflightCheck) {
    Facts().hklmWritable = false;
    Facts().cpuidEdx = 0;
    Facts().osMajor = 4;  // Windows NT 4
    SetInternetExplorerVersion(VnString());
    AddRunningProduct(false);
    Facts().keysDown = {vnwin::kVkControl, vnwin::kVkShift, 'F'};
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_EQ(MessageCount(), 0);
    EXPECT_TRUE(Contains(LogText(), "preflight checks skipped"));

    // Two of the three keys are not enough.
    Facts().keysDown = {vnwin::kVkControl, vnwin::kVkShift};
    EXPECT_EQ(Run(), kExitFailed);
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0).title, u"Information");
}

// Start-up reads the description beside the installer (which one wins is the
// description's own test), going on past its problems.
TEST_F(StartUpTest, DescriptionWithAStrayEndTagIsReadAndItsProblemLogged) {
    WriteFile(u"C:\\Setup\\Install.xml",
              "<VNIC version=\"1.0\"><Settings><AllowDowngrade>0</AllowDowngrade></Stray></Settings></VNIC>");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_FALSE(InstallOptions::Get().AllowDowngrade);
    EXPECT_TRUE(Contains(LogText(), "LoadInstallDescription: C:\\Setup\\Install.xml: End tag 'Stray' at offset 64 "
                                    "does not match start tag 'Settings' at offset 20"));
}

TEST_F(StartUpTest, LauncherAlreadyMovedIsStillCopiedIntoTheProgramTree) {
    Delete(u"C:\\Setup\\System\\Always Overwrite\\Tunacore Launcher.exe");
    WriteFile(u"C:\\Setup\\System\\Always Overwrite\\Tunaro Launcher.exe", "launcher of an earlier run");
    WriteFile(u"C:\\Setup\\Playmoor\\Tunaro Launcher.exe", "stale copy");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    std::string copied;
    Machine().Files().ReadFile(u"C:\\Setup\\Playmoor\\Tunaro Launcher.exe", copied);
    EXPECT_EQ(copied, "launcher of an earlier run");
}

TEST_F(StartUpTest, InstalledCopyBecomesTheProgramFolderAndItsServiceIsStopped) {
    const VnString installations = u"Software\\Wow6432Node\\V. Arnel\\Tunacore\\Installations\\";
    SetRegistryText(VnRegRoot::LocalMachine, installations + u"Tunaro 9934", u"Path", u"C:\\Other\\");
    SetRegistryText(VnRegRoot::LocalMachine, installations + u"TUNARO 9933", u"Version", u"9933.0.1");  // no Path
    Machine().SimRegistry().CreateMachineKey(VnRegRoot::LocalMachine, installations + u"tunaro 9933x");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_FALSE(Contains(ProgramsLog(), "VnService.exe"));  // no record of this product with a Path

    SetRegistryText(VnRegRoot::LocalMachine, installations + u"TUNARO 9933", u"Path",
                    u"C:\\Program Files (x86)\\Tunaro\\\\\\");
    WriteFile(u"C:\\Program Files (x86)\\Tunaro\\VnService.exe", "service");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_TRUE(Contains(ProgramsLog(), "\"C:\\Program Files (x86)\\Tunaro\\VnService.exe\" /Stop"));
    for (const char* line : {"Installed copy: \"C:\\Program Files (x86)\\Tunaro\\\"\r\n", "RunProgram: Done waiting",
                             "RunProgram: Filename: C:\\Program Files (x86)\\Tunaro\\VnService.exe / Parameters: /Stop"})
        EXPECT_TRUE(Contains(LogText(), line)) << line;
}

TEST_F(StartUpTest, VirtualisedCompanyKeysAreRemovedWithTheirSubkeys) {
    const VnString store = u"Software\\Classes\\VirtualStore\\Machine\\Software\\";
    SetRegistryText(VnRegRoot::CurrentUser, store + u"V. Arnel", u"Stale", u"1");
    SetRegistryText(VnRegRoot::CurrentUser, store + u"Wow6432Node\\V. Arnel\\Tunacore", u"Stale", u"1");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_FALSE(KeyExists(VnRegRoot::CurrentUser, store + u"V. Arnel"));
    // A real stale copy holds subkeys: the whole tree goes.
    EXPECT_FALSE(KeyExists(VnRegRoot::CurrentUser, store + u"Wow6432Node\\V. Arnel"));
}

}  // namespace

#endif
