// The welcome page: the licence text, the search for earlier installations
// just after the build, the auto-install countdown, and moving on by itself
// in silent and upgrade mode.
#ifndef _WIN32

#include "LicenseText.h"
#include "InstallerKey.h"
#include "WizardTestFixture.h"

TEST(LicenseTextTest, EncodingIsFoundFromTheBytes) {
    EXPECT_EQ(DecodeTextFile(std::string_view("\xFF\xFE" "A\0\xE9\0", 6)).ToUtf8(), "A\xC3\xA9");
    EXPECT_EQ(DecodeTextFile(std::string_view("\xFE\xFF\0A\0\xE9", 6)).ToUtf8(), "A\xC3\xA9");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF" "caf\xC3\xA9").ToUtf8(), "caf\xC3\xA9");
    EXPECT_EQ(DecodeTextFile("caf\xC3\xA9").ToUtf8(), "caf\xC3\xA9");
    // Not UTF-8: an ANSI file, with the Windows-1252 characters above 0x7F.
    EXPECT_EQ(DecodeTextFile("caf\xE9 \x93quoted\x94 \x80").ToUtf8(), "caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC");
    EXPECT_EQ(DecodeTextFile("cut \xC3").ToUtf8(), "cut \xC3\x83");
}

TEST_F(WizardTest, MissingLicenceLeavesTheBoxEmpty) {
    Machine().Files().DeleteFile(u"C:\\Setup\\License.txt");
    OpenWizard();
    EXPECT_TRUE(Wizard().GetLicensePage().GetLicenseBox().GetText().IsEmpty());
    EXPECT_EQ(Page(), 0);
}

TEST_F(WizardTest, SearchForEarlierInstallationsRunsTenMillisecondsAfterTheBuild) {
    AddUninstallEntry(u"Tunaro 9933", u"D:\\Tunaro\\\\");
    OpenWizard(9);
    EXPECT_FALSE(Options().SameVersionInstalled);
    Advance(1);
    EXPECT_TRUE(Options().SameVersionInstalled);
    ASSERT_EQ(Options().OccupiedFolders.GetSize(), 1);
    EXPECT_EQ(Options().OccupiedFolders[0].ToUtf8(), "D:\\Tunaro\\");
}

TEST_F(WizardTest, NoCountdownWithoutRunAutoInstall) {
    CInstallerKey().SetRunAutoInstall(false);
    OpenWizard();
    EXPECT_FALSE(Wizard().GetLicensePage().IsCountingDown());
    Advance(60000);
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(Caption(), "Tunaro Test 9933 - Install Wizard");
}

TEST_F(WizardTest, CountdownShowsInTheCaptionAndGoesOnInExpressMode) {
    CInstallerKey().SetRunAutoInstall(true);
    OpenWizard(10);
    EXPECT_TRUE(Wizard().GetLicensePage().IsCountingDown());
    Advance(1000);
    EXPECT_EQ(Caption(), "Tunaro Test 9933 - Install Wizard (Auto Install in 30 seconds)");
    Advance(1000);
    EXPECT_EQ(Caption(), "Tunaro Test 9933 - Install Wizard (Auto Install in 29 seconds)");
    Advance(27999);
    EXPECT_EQ(Page(), 0);
    Advance(1);
    EXPECT_TRUE(Options().AutoInstallElapsed);
    EXPECT_TRUE(Options().ExpressSetup);
    EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);  // setup type, Normal/Portable and destination answered
    EXPECT_EQ(Options().DestinationFolder.ToUtf8(), kDefaultDestination);
}

TEST_F(WizardTest, AcceptStopsTheCountdownAndBackDoesNotRestartIt) {
    CInstallerKey().SetRunAutoInstall(true);
    OpenWizard();
    Advance(5000);
    Press(u"Accept");
    EXPECT_EQ(Page(), 1);
    EXPECT_FALSE(Wizard().GetLicensePage().IsCountingDown());
    Press(u"< Back");
    Advance(60000);
    EXPECT_EQ(Page(), 0);
    EXPECT_FALSE(Options().AutoInstallElapsed);
    EXPECT_EQ(CLicensePpg::GetCountdown(), 30 - 5);
    EXPECT_EQ(Caption(), "Tunaro Test 9933 - Install Wizard (Auto Install in 26 seconds)");  // kept by the page
}

TEST_F(WizardTest, SilentAndUpgradeMoveOnByThemselvesWithoutCountdown) {
    for (const bool silent : {true, false}) {  // else an upgrade
        SCOPED_TRACE(silent ? "silent" : "upgrade");
        OpenMachine("");
        CInstallerKey().SetRunAutoInstall(true);
        (silent ? Options().Silent : Options().Upgrade) = true;
        OpenWizard(9);
        EXPECT_EQ(Page(), 0);
        Advance(1);
        EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);
        EXPECT_EQ(Options().ExpressSetup, !silent);  // a silent install leaves both flags clear; an upgrade is Express
        EXPECT_FALSE(Options().PortableSetup);
        EXPECT_FALSE(Wizard().GetLicensePage().IsCountingDown());
    }
}

#endif  // _WIN32
