// The setup type pages: Express or Custom, the auto-install check box and
// its stored value, Normal or Portable, and when each page is passed over.
#ifndef _WIN32

#include "InstallerKey.h"
#include "WizardTestFixture.h"

TEST_F(WizardTest, ExpressSkipsToTheCopyPageAndStoresTheAutoInstallChoice) {
    OpenWizard();
    Press(u"Accept");
    EXPECT_FALSE(Wizard().GetSetupTypePage().GetAutoInstallBox().IsChecked());  // nothing stored yet
    ASSERT_TRUE(Ui().Tick(u"Next time use Auto Install after 30 second timeout."));
    Press(u"Next >");
    EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);
    EXPECT_TRUE(Options().ExpressSetup);
    EXPECT_TRUE(CInstallerKey().GetRunAutoInstall());
}

TEST_F(WizardTest, CustomWalksNormalPortableAndDestinationAndUntickingStoresZero) {
    CInstallerKey().SetRunAutoInstall(false);
    OpenWizard();
    AcceptAndChooseCustom();
    EXPECT_EQ(Page(), 2);
    EXPECT_FALSE(Options().ExpressSetup);
    EXPECT_FALSE(CInstallerKey().GetRunAutoInstall());
    ASSERT_TRUE(Ui().Choose(u"Portable install"));
    Press(u"Next >");
    EXPECT_EQ(Page(), 3);
    EXPECT_TRUE(Options().PortableSetup);
    EXPECT_EQ(Wizard().GetSelectPathPage().GetPathBox().GetPath().ToUtf8(), "");  // a portable install starts empty

    // Back to the first setup page: going through it again resets the portable choice.
    Press(u"< Back");
    Press(u"< Back");
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Wizard().GetSetupTypePage().GetChoices().GetSelectedIndex(), CSetupTypePpg::kCustomChoice);
    Press(u"Next >");
    EXPECT_FALSE(Options().PortableSetup);
    EXPECT_EQ(Wizard().GetSetupTypeCustomPage().GetChoices().GetSelectedIndex(), CSetupTypeCustomPpg::kPortableChoice);
}

TEST_F(WizardTest, CheckBoxStartsFromTheStoredValue) {
    CInstallerKey().SetRunAutoInstall(true);
    OpenWizard();
    Press(u"Accept");  // stops the countdown
    EXPECT_TRUE(Wizard().GetSetupTypePage().GetAutoInstallBox().IsChecked());
}

#endif  // _WIN32
