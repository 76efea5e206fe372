// The installer's wizard on the generic frame (whose navigation, click guard
// and frame messages the toolkit's tests cover): page list, caption, header,
// icon, the pages it skips and the cancel rules.
#ifndef _WIN32

#include "InstallExitCodes.h"
#include "RunInstallWizard.h"
#include "WizardTestFixture.h"

namespace {

std::vector<std::string> Titles(CInstallWizard& wizard) {
    std::vector<std::string> titles;
    for (int32_t i = 0; i < wizard.GetPageCount(); ++i) titles.push_back(wizard.GetPage(i)->GetTitle().ToUtf8());
    return titles;
}

}  // namespace

TEST_F(WizardTest, PageListCaptionHeaderAndIcon) {
    WriteFile(u"C:\\Setup\\Playmoor\\Data\\Default Art\\application.ico", "icon");
    CInstallWizard& wizard = OpenWizard();
    EXPECT_EQ(Titles(wizard), (std::vector<std::string>{"Welcome", "Setup Type", "Setup Type", "Destination Folder",
                                                         "Installing Dependencies", "File Associations",
                                                         "Create Shortcuts", "Install Complete"}));
    EXPECT_EQ(wizard.GetFinishPage().GetSubtitle().ToUtf8(), "Thank you for installing Tunaro Test 9933");
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(Caption(), "Tunaro Test 9933 - Install Wizard");
    EXPECT_EQ(wizard.GetHeader().GetMarkup().ToUtf8(), "<b>Welcome</b>\r\n\tWelcome to the Install Wizard.");
    EXPECT_EQ(wizard.GetIconFile().ToUtf8(), "C:\\Setup\\Playmoor\\Data\\Default Art\\Application.ico");
    EXPECT_EQ(wizard.GetNextButton().GetText().ToUtf8(), "Accept");
    EXPECT_FALSE(wizard.GetBackButton().IsEnabled());
    EXPECT_EQ(wizard.GetLicensePage().GetLicenseBox().GetText().ToUtf8(), "Terms of use.\r\nSecond line.\r\n");
}

TEST_F(WizardTest, WithoutFileAssociationsFeatureSevenPagesAndCopyPageStillFourth) {
    OpenMachine("", {.features = "173"});
    CInstallWizard& wizard = OpenWizard();
    ASSERT_EQ(wizard.GetPageCount(), 7);
    EXPECT_EQ(wizard.GetPage(CInstallWizard::kCopyPageIndex), &wizard.GetCopyPage());
    EXPECT_EQ(wizard.GetPage(5), &wizard.GetShortcutsPage());
    EXPECT_TRUE(Ui().PressEscape());
    EXPECT_EQ(Boxes().size(), 1u);  // asked, not refused: page 0 is before the copy page
}

TEST_F(WizardTest, SkipsAnsweredPagesInBothDirections) {
    OpenMachine("", {.features = "176"});  // no portable install: the Normal/Portable page is always skipped
    OpenWizard();
    AcceptAndChooseCustom();
    EXPECT_EQ(Page(), 3);
    EXPECT_FALSE(Options().PortableSetup);  // Custom without the feature is a normal install
    EXPECT_EQ(Wizard().GetSelectPathPage().GetPathBox().GetPath().ToUtf8(), kDefaultDestination);
    Press(u"< Back");
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Wizard().GetCurrentPage(), &Wizard().GetSetupTypePage());
}

// Cancel from the copy page on is refused, the close box and Esc alike.
TEST_F(WizardTest, FrameMessagesAndAnExpressWalkEndingAtTheCopyPageWhereCancelIsRefused) {
    CInstallWizard& wizard = OpenWizard();
    wizard.SendMessage(VnWizardPopupWnd::kGoNextCommand);
    wizard.SendMessage(VnWizardPopupWnd::kGoBackCommand);  // no click guard for the messages
    EXPECT_EQ(Page(), 0);
    wizard.SendMessage(VnWizardPopupWnd::kGoNextCommand);
    wizard.SendMessage(VnWizardPopupWnd::kGoNextCommand);  // Express: pages 2 and 3 are passed over
    EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);
    EXPECT_TRUE(Options().ExpressSetup);
    EXPECT_EQ(Options().DestinationFolder.ToUtf8(), kDefaultDestination);
    EXPECT_TRUE(Machine().Files().GetFileAttributes(Options().DestinationFolder) & vnwin::kFileAttributeDirectory);
    wizard.SendMessage(VnWizardPopupWnd::kGoBackCommand);
    EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);
    EXPECT_FALSE(wizard.GetCancelButton().IsEnabled());
    ASSERT_TRUE(Ui().CloseWindow());
    ASSERT_TRUE(Ui().PressEscape());
    const std::string refusal =
        "Cancel Unavailable: Tunaro Test 9933 installation can no longer be canceled.\r\n\r\n"
        "Once installation has completed, you can uninstall using Control Panel > Add or Remove Programs.";
    EXPECT_EQ(Boxes(), (std::vector<std::string>{refusal, refusal}));

    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultRunning);  // the copy page is at work
    wizard.SendMessage(VnWizardPopupWnd::kEndWizardCommand, 7);
    EXPECT_EQ(wizard.GetResultCode(), 7);
}

TEST_F(WizardTest, CancelAsksBeforeTheCopyPageAndIsRefusedFromItOn) {
    CInstallWizard& wizard = OpenWizard();
    QueueAnswer(vnwin::kIdNo);
    ASSERT_TRUE(Ui().Press(u"Cancel"));
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultRunning);
    ASSERT_TRUE(Ui().CloseWindow());  // answered Yes by default
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultCancelled);
    const std::string question = "Confirm Cancellation: Are you sure you want to cancel Tunaro Test 9933 installation?";
    EXPECT_EQ(Boxes(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(WizardExitCode(wizard.GetResultCode()), kExitCancelled);
}

TEST_F(WizardTest, SkippedPageWhoseCheckFailsIsShownAndExpressEnds) {
    OpenMachine("", {.installToPath = "C:\\Windows\\Tunaro"});
    Options().Upgrade = true;  // Express, every question answered
    OpenWizard();
    EXPECT_EQ(Page(), 3);
    EXPECT_FALSE(Options().ExpressSetup);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Wizard().GetSelectPathPage().GetPathBox().GetPath().ToUtf8(), "C:\\Windows\\Tunaro\\");

    // Silent mode still counts the page as answered; the folder typed now is taken all the same.
    Options().Silent = true;
    ASSERT_TRUE(Ui().Type(u"Install to:", u"C:\\Tunaro"));
    Press(u"Next >");
    EXPECT_EQ(Options().DestinationFolder.ToUtf8(), "C:\\Tunaro\\");
    EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);
}

TEST_F(WizardTest, ModalRunEndsWithTheExitCodeOfHowTheWizardEnded) {
    int step = 0;
    VnHeadlessUi::Get().SetScript([&step](VnPopupWnd& popup) {
        VnUiDriver ui(&popup);
        // Next where it can be pressed: past the copy page to the end.
        return ++step == 1 ? ui.Press(u"Accept") : (ui.Press(u"Next >") || step < 20);
    });
    // Express: installed; past the file associations page the finish page
    // has nothing to ask and is passed over.
    EXPECT_EQ(RunInstallWizard(), kExitCompleted);

    VnHeadlessUi::Get().SetScript([](VnPopupWnd& popup) { return VnUiDriver(&popup).Press(u"Cancel") && false; });
    EXPECT_EQ(RunInstallWizard(), kExitCancelled);

    VnHeadlessUi::Get().SetScript(nullptr);  // nobody answers: the loop gives up
    EXPECT_EQ(RunInstallWizard(), kExitStoppedAtWizardHandOff);
    EXPECT_TRUE(VnHeadlessUi::Get().WasStalled());
}

#endif  // _WIN32
