// The generic wizard frame: navigation with skipping, the click guard, the
// frame messages, finishing and cancelling (headless, on the virtual clock).
#include "ToolkitTestSupport.h"

#if VN_TOOLKIT_HEADLESS

#include <vector>

#include "VnButton.h"
#include "VnWizardPopupWnd.h"

namespace {

using Log = std::vector<std::string>;

// A page whose answers the test sets, writing each call of the frame into a log.
class TestPage : public VnWizardPageWnd {
public:
    TestPage(std::string name, Log& log) : name_(std::move(name)), log_(log) {
        SetTitle(VnString::FromUtf8(name_ + " title"));
        SetSubtitle(VnString::FromUtf8(name_ + " subtitle"));
        SetCaption(VnString::FromUtf8(name_ + " caption"));
    }
    bool shown = true;
    bool leaveForward = true;
    bool canGoBack = true;
    bool canCancel = true;
    bool removeAfterLeaving = false;
    int builds = 0;
    VnCheckbox box;

    bool IsShown() override { return Note("shown?"), shown; }
    void OnDeactivate() override { Note("deactivate"); }
    bool OnLeaveForward() override { return Note("leave forward"), leaveForward; }
    bool OnLeaveBackward() override { return Note("leave backward"), true; }
    void OnCancel() override { Note("cancel"); }
    bool CanGoBack() override { return canGoBack && VnWizardPageWnd::CanGoBack(); }
    bool CanCancel() override { return canCancel; }
    bool RemoveAfterLeaving() override { return removeAfterLeaving; }

protected:
    void BuildControls() override {
        ++builds;
        box.Create(*this, VnString::FromUtf8(name_ + " box"), false, VnRect::At(0, 0, 200, 17));
    }

private:
    void Note(const char* what) { log_.push_back(name_ + " " + what); }
    std::string name_;
    Log& log_;
};

class TestWizard : public VnWizardPopupWnd {
public:
    explicit TestWizard(Log& log) : a("A", log), b("B", log), c("C", log), d("D", log) {
        for (TestPage* page : {&a, &b, &c, &d}) AddPage(*page);
    }
    TestPage a, b, c, d;
    bool refuseCancel = false;

    // As the installer's wizard does with its cancel rules: sees the
    // message first, passes it on to the frame when it agrees.
    intptr_t WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        if (refuseCancel && msg == kVnMsgCommand && VnCommandId(wParam) == kVnIdCancel) return 0;
        return VnWizardPopupWnd::WindowProc(msg, wParam, lParam);
    }

protected:
    void BuildControls() override {
        VnWizardPopupWnd::BuildControls();
        SetActivePage(0, false);
    }
};

class WizardFrameTest : public ToolkitTest {
protected:
    void Open() {
        ASSERT_TRUE(wizard.Create());
        wizard.Show(true);
        log.clear();
    }
    // Waits out the click guard, then presses.
    bool Press(const char16_t* label) {
        ui.Advance(VnWizardPopupWnd::kClickGuardMs);
        return driver.Press(label);
    }
    VnHeadlessUi& ui = VnHeadlessUi::Get();
    Log log;
    TestWizard wizard{log};
    VnUiDriver driver{&wizard};
};

}  // namespace

TEST_F(WizardFrameTest, PagesAreMadeWhenFirstVisitedAndFrameFollowsThePage) {
    Open();
    EXPECT_EQ(wizard.GetCurrentIndex(), 0);
    EXPECT_EQ(wizard.a.builds, 1);
    EXPECT_FALSE(wizard.b.IsCreated());
    EXPECT_EQ(wizard.GetText(), u"A caption");
    EXPECT_EQ(wizard.GetHeader().GetTitle(), u"A title");
    EXPECT_TRUE(wizard.GetHeader().IsTitleBold());
    EXPECT_EQ(wizard.GetHeader().GetSubtitle(), u"A subtitle");
    EXPECT_EQ(wizard.GetHeader().GetMarkup(), u"<b>A title</b>\r\n\tA subtitle");
    EXPECT_FALSE(wizard.GetBackButton().IsEnabled());
    EXPECT_EQ(wizard.GetNextButton().GetText(), u"Next >");

    ASSERT_TRUE(Press(u"Next >"));
    EXPECT_EQ(wizard.GetCurrentIndex(), 1);
    EXPECT_TRUE(wizard.b.box.HasFocus());  // the page's first tab stop
    EXPECT_FALSE(wizard.a.IsVisible());
    EXPECT_TRUE(wizard.b.IsVisible());
    EXPECT_TRUE(wizard.GetBackButton().IsEnabled());
    ASSERT_TRUE(Press(u"< Back"));
    ASSERT_TRUE(Press(u"Next >"));
    EXPECT_EQ(wizard.a.builds, 1);  // built once: what the user entered stays
    EXPECT_EQ(wizard.b.builds, 1);

    // The page area is exactly 500 x 300 units; the buttons keep their minimum width.
    EXPECT_EQ(wizard.GetPageHost().GetRect().Width(), 500);
    EXPECT_EQ(wizard.GetPageHost().GetRect().Height(), 300);
    for (VnButton* button : {&wizard.GetBackButton(), &wizard.GetNextButton(), &wizard.GetCancelButton()})
        EXPECT_GE(button->GetRect().Width(), 70);
}

TEST_F(WizardFrameTest, SkipsPagesNotShownInTheDirectionOfTravel) {
    Open();
    wizard.b.shown = false;
    wizard.c.shown = false;
    ASSERT_TRUE(Press(u"Next >"));
    EXPECT_EQ(wizard.GetCurrentIndex(), 3);
    EXPECT_EQ(log, (Log{"A leave forward", "A deactivate", "B shown?", "C shown?", "D shown?"}));
    EXPECT_EQ(wizard.GetNextButton().GetText(), u"Finish");
    EXPECT_TRUE(wizard.b.IsCreated());  // asked, so made, though not shown

    log.clear();
    wizard.b.shown = true;
    ASSERT_TRUE(Press(u"< Back"));
    EXPECT_EQ(wizard.GetCurrentIndex(), 1);
    EXPECT_EQ(log, (Log{"D leave backward", "D deactivate", "C shown?", "B shown?"}));
}

TEST_F(WizardFrameTest, ClicksWithin300MsOfAPageChangeAreIgnored) {
    Open();
    ui.Advance(300);
    ASSERT_TRUE(driver.Press(u"Next >"));
    ui.Advance(299);
    ASSERT_TRUE(driver.Press(u"Next >"));  // taken by the button, ignored by the frame
    EXPECT_EQ(wizard.GetCurrentIndex(), 1);
    ASSERT_TRUE(driver.Press(u"< Back"));
    EXPECT_EQ(wizard.GetCurrentIndex(), 1);
    ui.Advance(1);
    ASSERT_TRUE(driver.Press(u"Next >"));
    EXPECT_EQ(wizard.GetCurrentIndex(), 2);

    // The frame messages are not guarded.
    wizard.PostMessage(VnWizardPopupWnd::kGoNextCommand);
    VnToolkit::PumpMessages();
    EXPECT_EQ(wizard.GetCurrentIndex(), 3);
    wizard.SendMessage(VnWizardPopupWnd::kGoBackCommand);
    EXPECT_EQ(wizard.GetCurrentIndex(), 2);
    wizard.c.canGoBack = false;
    wizard.SendMessage(VnWizardPopupWnd::kGoBackCommand);
    EXPECT_EQ(wizard.GetCurrentIndex(), 2);
}

TEST_F(WizardFrameTest, APageThatRefusesToBeLeftKeepsTheWizardWhereItWas) {
    Open();
    wizard.a.leaveForward = false;
    ASSERT_TRUE(Press(u"Next >"));
    EXPECT_EQ(wizard.GetCurrentIndex(), 0);
    EXPECT_TRUE(wizard.a.IsVisible());
    EXPECT_EQ(log, (Log{"A leave forward"}));
    EXPECT_FALSE(wizard.SetActivePage(0, true));   // already there
    EXPECT_FALSE(wizard.SetActivePage(-1, true));
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultRunning);
}

TEST_F(WizardFrameTest, RunningOffTheEndFinishesWithResultOne) {
    Open();
    wizard.d.shown = false;
    ASSERT_TRUE(wizard.SetActivePage(2, true));
    ASSERT_TRUE(Press(u"Next >"));  // D is not shown: past the end
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultFinished);
    EXPECT_TRUE(wizard.IsEnded());
    EXPECT_EQ(wizard.GetModalResult(), 1);
}

TEST_F(WizardFrameTest, CancelAsksThePageAndEndsWithResultTwo) {
    Open();
    ASSERT_TRUE(Press(u"Next >"));
    log.clear();
    ASSERT_TRUE(driver.Press(u"Cancel"));
    EXPECT_EQ(log, (Log{"B cancel", "B deactivate"}));
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultCancelled);
}

TEST_F(WizardFrameTest, EscAndTheCloseBoxCancelUnlessThePageOrTheWizardSaysNo) {
    Open();
    wizard.a.canCancel = false;
    wizard.UpdateFrame();
    EXPECT_FALSE(wizard.GetCancelButton().IsEnabled());
    EXPECT_TRUE(driver.PressEscape());
    EXPECT_TRUE(driver.CloseWindow());
    EXPECT_FALSE(wizard.IsEnded());

    wizard.a.canCancel = true;
    wizard.UpdateFrame();
    wizard.refuseCancel = true;
    EXPECT_TRUE(driver.PressEscape());
    EXPECT_FALSE(wizard.IsEnded());
    EXPECT_TRUE(driver.CloseWindow());
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultCancelled);
}

TEST_F(WizardFrameTest, EndWizardCommandClosesWithItsResult) {
    Open();
    wizard.PostMessage(VnWizardPopupWnd::kEndWizardCommand, 5);
    VnToolkit::PumpMessages();
    EXPECT_EQ(wizard.GetResultCode(), 5);
    EXPECT_EQ(wizard.GetModalResult(), 5);
}

TEST_F(WizardFrameTest, APageRemovedAfterLeavingLeavesTheList) {
    Open();
    wizard.a.removeAfterLeaving = true;
    ASSERT_TRUE(Press(u"Next >"));
    EXPECT_EQ(wizard.GetPageCount(), 3);
    EXPECT_EQ(wizard.GetCurrentPage(), &wizard.b);
    EXPECT_EQ(wizard.GetCurrentIndex(), 0);
    EXPECT_FALSE(wizard.GetBackButton().IsEnabled());  // B is first now

    {
        TestPage extra("E", log);
        wizard.AddPage(extra);
        EXPECT_EQ(wizard.GetPageCount(), 4);
    }  // a page that goes leaves the list
    EXPECT_EQ(wizard.GetPageCount(), 3);
    EXPECT_EQ(wizard.GetCurrentPage(), &wizard.b);
}

TEST_F(WizardFrameTest, RunsModallyUnderAScript) {
    int step = 0;
    ui.SetScript([&](VnPopupWnd&) {
        switch (step++) {
        case 0: return driver.Press(u"Next >");
        case 1: return driver.Tick(u"B box");
        case 2: return driver.Press(u"Next >");
        case 3: return driver.Press(u"Next >");
        case 4: return driver.Press(u"Finish");
        default: return false;
        }
    });
    EXPECT_EQ(wizard.DoModal(), VnWizardPopupWnd::kResultFinished);
    EXPECT_EQ(step, 5);
    EXPECT_TRUE(wizard.b.box.IsChecked());
}

#endif  // VN_TOOLKIT_HEADLESS
