// The preflight checks on the simulated machine, each through a whole
// start-up: rights, a running copy (asked, silent, the server edition's wait),
// Internet Explorer, the processor and the Windows version; and every refusal
// before the wizard (those, the instance check, the tools library and the
// product information) by its box.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "AppRuntimeCalls.h"
#include "InstallExitCodes.h"
#include "OperatingSystem.h"
#include "PreflightInternetExplorer.h"
#include "StartUpFixture.h"
#include "WizardHandOff.h"

namespace {

// The same machine and set-up as start-up's tests.
class PreflightTest : public StartUpTest {};

const VnString kCouldNotClose =
    u"Install Wizard could not close the running copy of Tunaro.\r\n"
    u"Please manually close Tunaro and then press 'OK'.\r\n\r\n"
    u"If you can not close Tunaro restart your computer and run Install Wizard again.";
const VnString kStillRunning =
    u"Tunaro is still running.  Install Wizard can not continue.\r\n\r\n"
    u"Please restart your computer and run Install Wizard again.";

TEST_F(PreflightTest, RunningCopyIsClosedAfterYesAndLeftAloneAfterNo) {
    AddRunningProduct(true);
    Machine().SimShell().QueueAnswer(vnwin::kIdNo);
    EXPECT_EQ(Run(), kExitCancelled);
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0).title, u"Tunaro Test Open");
    EXPECT_EQ(Message(0).text,
              u"Install Wizard has detected a running copy of Tunaro Test.\r\n\r\n"
              u"Do you want Install Wizard to close Tunaro Test and continue setup?");
    EXPECT_FALSE(Contains(ProgramsLog(), "post 0x0010"));

    Machine().SimShell().QueueAnswer(vnwin::kIdYes);
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    EXPECT_EQ(MessageCount(), 2);  // only the question
    EXPECT_TRUE(Contains(ProgramsLog(), "post 0x0010 to \"Tunaro\""));
    EXPECT_TRUE(Contains(ProgramsLog(), "wparam 0"));
}

TEST_F(PreflightTest, RunningCopyThatWillNotCloseShowsBothBoxesSilentOrNot) {
    AddRunningProduct(false);
    Machine().SimShell().QueueAnswer(vnwin::kIdYes);
    EXPECT_EQ(Run(), kExitFailed);
    ASSERT_EQ(MessageCount(), 3);
    EXPECT_EQ(Message(1).title, u"Please Close Tunaro");
    EXPECT_EQ(Message(1).text, kCouldNotClose);
    EXPECT_EQ(Message(2).title, u"Install Wizard Error");
    EXPECT_EQ(Message(2).text, kStillRunning);
    // An ordinary edition is asked once and checked at once: no simulated wait.
    EXPECT_LT(Facts().run.elapsedMilliseconds, 1000u);

    EXPECT_EQ(Run(u"/Silent"), kExitFailed);
    ASSERT_EQ(MessageCount(), 5);  // no question this time
    EXPECT_EQ(Message(3).title, u"Please Close Tunaro");
    EXPECT_EQ(Message(4).title, u"Install Wizard Error");
}

TEST_F(PreflightTest, ServerEditionIsAskedThroughItsWindowAndGivenFiveSeconds) {
    WriteProduct({.name0 = "Tunaro Orvan Server"});
    AddRunningProduct(false);
    const uint64_t before = Facts().run.elapsedMilliseconds;
    EXPECT_EQ(Run(u"/Silent"), kExitFailed);
    const uint64_t waited = Facts().run.elapsedMilliseconds - before;
    EXPECT_GE(waited, 5000u);
    EXPECT_LT(waited, 5500u);
    EXPECT_TRUE(Contains(ProgramsLog(), "post 0x0010 to \"Tunaro\""));
    EXPECT_TRUE(Contains(ProgramsLog(), "wparam 1 lparam 0"));
    ASSERT_EQ(MessageCount(), 2);
    EXPECT_EQ(Message(0).title, u"Please Close Tunaro Orvan Server");

    // One that closes on the message ends the wait at once.
    Facts().runningPrograms[0].closesOnWmClose = true;
    const uint64_t second = Facts().run.elapsedMilliseconds;
    Run(u"/Silent");  // the silent wizard that follows decides the exit code
    EXPECT_TRUE(WizardHandOffReached());
    EXPECT_LT(Facts().run.elapsedMilliseconds - second, 1000u);
}

TEST_F(PreflightTest, OldOrMissingInternetExplorerShowsTheWarningAndDownloadOpensThePage) {
    const VnString text =
        u"Install Wizard did not detect a new enough version of Microsoft Internet Explorer.  Setup cannot continue."
        u"\r\n\r\nClick on 'Download' to download and install the latest version of Internet Explorer.  Please "
        u"re-run setup after installing Internet Explorer.";
    SetInternetExplorerVersion(u"6.0.2900.2180");  // below the product's 7.0.0.0
    Machine().SimShell().QueueAnswer(vnwin::kIdOk);  // the first button: "Download"
    EXPECT_EQ(Run(), kExitFailed);
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0).title, u"Internet Explorer Warning");
    EXPECT_EQ(Message(0).text, text);  // the buttons carry the labels: no legend under the text
    EXPECT_EQ(Message(0).labels, (VnStringArray{u"Download", u"Quit Setup"}));
    EXPECT_TRUE(Contains(ProgramsLog(), std::string("open \"") +
                                            VnString(CNeedInternetExplorerDlg::kDownloadPage).ToUtf8()));

    SetInternetExplorerVersion(VnString());  // no Internet Explorer at all: "1.0.0.0"
    Machine().SimShell().QueueAnswer(vnwin::kIdCancel);  // "Quit Setup"
    const std::string programsBefore = ProgramsLog();
    EXPECT_EQ(Run(), kExitFailed);
    EXPECT_EQ(MessageCount(), 2);
    EXPECT_EQ(ProgramsLog(), programsBefore);  // nothing opened

    // A new enough version without a creatable web-browser control fails too.
    SetInternetExplorerVersion(u"11.0.0.0");
    Facts().webBrowserCreatable = false;
    EXPECT_EQ(Run(), kExitFailed);
    EXPECT_EQ(MessageCount(), 3);
}

TEST_F(PreflightTest, EmptyMinimumInternetExplorerVersionMeansFive) {
    WriteProduct({.minIEVersion = ""});
    SetInternetExplorerVersion(u"5.0.0.0");
    EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff);
    SetInternetExplorerVersion(u"4.72.3110.0");
    Machine().SimShell().QueueAnswer(vnwin::kIdCancel);
    EXPECT_EQ(Run(), kExitFailed);
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0).title, u"Internet Explorer Warning");
}

TEST_F(PreflightTest, FourPartVersionsCompareFromTheMostSignificantPart) {
    EXPECT_LT(CompareFourPartVersions(ParseFourPartVersion(u"9.11.22631.0"), ParseFourPartVersion(u"10.0")), 0);
    EXPECT_GT(CompareFourPartVersions(ParseFourPartVersion(u"7.0.0.1"), ParseFourPartVersion(u"7.0.0.0")), 0);
    EXPECT_EQ(CompareFourPartVersions(ParseFourPartVersion(u"7"), ParseFourPartVersion(u"7.0.0.0")), 0);
    EXPECT_EQ(ParseFourPartVersion(u"x.-3.2.1.9"), (FourPartVersion{0, 0, 2, 1}));
}

struct WindowsCase {
    uint32_t platformId, major, minor, build;
    int code;
    const char16_t* name;
};

TEST_F(PreflightTest, WindowsVersionsAtTheEdges) {
    const WindowsCase cases[] = {
        {1, 4, 0, 950, kOsWindows95, u"Microsoft Windows 95"},
        {1, 4, 10, 2222, kOsWindows98SecondEdition, u"Microsoft Windows 98"},
        {1, 4, 90, 3000, kOsWindowsMe, u"Microsoft Windows ME"},
        {2, 4, 0, 1381, kOsWindowsNT, u"Microsoft Windows NT"},
        {2, 5, 0, 2195, kOsWindows2000, u"Microsoft Windows 2000"},
        {2, 5, 1, 2600, kOsWindowsXP, u"Microsoft Windows XP"},
        {2, 6, 3, 9600, kOsWindows81, u"Microsoft Windows 8.1"},
        {2, 6, 4, 9800, kOsWindowsNew, u"Microsoft Windows New (6.4)"},
        {2, 10, 0, 21999, kOsWindows10, u"Microsoft Windows 10"},
        {2, 10, 0, 22000, kOsWindows11, u"Microsoft Windows 11"},
        {2, 10, 1, 100, kOsWindowsNew, u"Microsoft Windows New (10.1)"},
        {2, 11, 0, 30000, kOsWindowsNew, u"Microsoft Windows New (11.0)"},
        {2, 3, 51, 1057, kOsUnknown, u"Unknown OS"},
    };
    for (const WindowsCase& c : cases) {
        VnVersionInfo version;
        version.platformId = c.platformId;
        version.major = c.major;
        version.minor = c.minor;
        version.build = c.build;
        EXPECT_EQ(OperatingSystemCodeFor(version), c.code) << c.major << "." << c.minor << "." << c.build;
        EXPECT_EQ(OperatingSystemNameFor(version), VnString(c.name));
    }

    // Through start-up: 2000, XP, 10 on either side of build 22000 and "new" pass; NT 4 does not.
    const uint32_t passing[][3] = {{5, 0, 2195}, {5, 1, 2600}, {10, 0, 21999}, {10, 0, 22000}, {10, 1, 100}};
    for (const auto& v : passing) {
        Facts().osMajor = v[0], Facts().osMinor = v[1], Facts().osBuild = v[2];
        EXPECT_EQ(Run(), kExitStoppedAtWizardHandOff) << v[0] << "." << v[1];
    }
    EXPECT_EQ(MessageCount(), 0);
}

// Each refusal before the wizard: one box with its title and text, the
// failure exit code, and nothing after it reached (the launcher untouched,
// the framework's calls undone).
TEST_F(PreflightTest, EachRefusalShowsItsBoxAndStopsBeforeTheLauncher) {
    // The critical error carries the tools library's own reason.
    const auto critical = [](const VnString& reason) {
        return u"The following module has failed to load:\r\nC:\\Setup\\Tunaro Install Wizard.exe\r\n\r\n"
               u"It has reported the following error:\r\n\r\n" +
               reason + u"\r\n\r\nPlease reinstall the latest version of the program.";
    };
    const VnString noTools = critical(u"Failed to load VnTools");
    const VnString noSse2 =
        u"The Tunaro Test Install Wizard failed to detect an SSE2-capable CPU.\r\n\r\n"
        u"Tunaro Test requires SSE2 capabilities to run.  Setup will now abort.";
    const VnCoreArray<int> ctrlShiftF = {vnwin::kVkControl, vnwin::kVkShift, 'F'};
    struct Refusal {
        const char* name;
        std::function<void()> arrange;
        const char16_t* title;
        VnString text;
    };
    const Refusal refusals[] = {
        {"no rights, before the processor check",
         [this] { Facts().hklmWritable = false, Facts().cpuidEdx = 0; }, u"Information",
         u"Sorry, but you do not have sufficient rights to install the program.\r\n"
         u"Please make sure you have administrative rights before you begin the installation."},
        {"no SSE2", [this] { Facts().cpuidEdx = 0x178BFBFF & ~(1u << 26); }, u"SSE2 Not Available",
         noSse2},
        {"no MMX", [this] { Facts().cpuidEdx = 0x178BFBFF & ~(1u << 23); }, u"SSE2 Not Available",
         noSse2},
        {"Windows NT 4",
         [this] { Facts().osMajor = 4, Facts().osMinor = 0, Facts().osBuild = 1381; },
         u"Operating System Not Supported",
         u"The Tunaro Test Install Wizard can not run on this version of Microsoft Windows.\r\n\r\n"
         u"Tunaro Test requires Windows 2000 or later.  Setup will now abort."},
        // The instance check comes before Ctrl+Shift+F is looked at.
        {"mutex held elsewhere",
         [&] { Facts().keysDown = ctrlShiftF, Facts().heldMutexes.Add(u"Global\\Varnel Installer"); },
         u"Varnel Installer", kAnotherInstanceText},
        {"mutex denied",
         [&] { Facts().keysDown = ctrlShiftF, Facts().deniedMutexes.Add(u"Global\\Varnel Installer"); },
         u"Varnel Installer", kAnotherInstanceText},
        {"tools library without its entry",
         [this] { Facts().missingExports.Add(u"VnTools.dll!GetVnToolsDLL"); }, u"Critical Error",
         noTools},
        {"tools library not loadable", [this] { Facts().missingLibraries.Add(u"VnTools.dll"); },
         u"Critical Error", noTools},
        {"tools library missing", [this] { Delete(u"C:\\Setup\\Playmoor\\VnTools.dll"); },
         u"Critical Error", noTools},
        {"product information missing", [this] { Delete(u"C:\\Setup\\Playmoor\\ProductInfo.xml"); },
         u"Critical Error",
         critical(u"The product information file is missing:\r\nC:\\Setup\\Playmoor\\ProductInfo.xml")},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        TearDown();
        SetUp();
        refusal.arrange();
        EXPECT_EQ(Run(), kExitFailed);
        ASSERT_EQ(MessageCount(), 1);
        EXPECT_EQ(Message(0).title, refusal.title);
        EXPECT_EQ(Message(0).text, refusal.text);
        EXPECT_EQ(Message(0).type, vnwin::kMbOk);
        EXPECT_FALSE(WizardHandOffReached());
        EXPECT_TRUE(Exists(u"C:\\Setup\\System\\Always Overwrite\\Tunacore Launcher.exe"));
        EXPECT_EQ(GetAppRuntimeRecord().oleInitialized, 0);
    }
}

}  // namespace

#endif
