// The headless toolkit's virtual clock, timers, posted messages, pump and
// scripted modal loop.
#include "ToolkitTestSupport.h"

#if VN_TOOLKIT_HEADLESS

#include <functional>
#include <vector>

#include "VnButton.h"
#include "VnPaneWnd.h"
#include "VnPopupWnd.h"

namespace {

using Log = std::vector<std::string>;

// A popup that writes "what@time" for every timer and message it receives.
class Recorder : public VnPopupWnd {
public:
    Log log;
    std::function<void(uint32_t)> onTimer;
    std::function<void(uint32_t)> onMessage;
    VnButton ok;

    intptr_t WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        if (msg >= kVnMsgUser && msg < kVnMsgApp) {
            Note("msg" + std::to_string(msg - kVnMsgUser));
            if (onMessage) onMessage(msg);
            return 0;
        }
        return VnPopupWnd::WindowProc(msg, wParam, lParam);
    }

protected:
    void BuildControls() override { ok.Create(*this, u"&OK", VnRect::At(10, 10, 75, 23), kVnOptNone, kVnIdOk); }
    void OnTimer(uint32_t id) override {
        Note("timer" + std::to_string(id));
        if (onTimer) onTimer(id);
    }
    void OnCommand(VnWnd& control, uint16_t code) override {
        if (&control == &ok) EndModal(7);
    }

private:
    void Note(const std::string& what) { log.push_back(what + "@" + std::to_string(VnHeadlessUi::Get().Now())); }
};

class HeadlessClockTest : public ToolkitTest {
protected:
    VnHeadlessUi& ui = VnHeadlessUi::Get();
};

}  // namespace

// The licence page's pattern: a 10 ms one-shot, a 1 s countdown and a 30 s end.
TEST_F(HeadlessClockTest, TimersFireByNumberInOrderOfDueTime) {
    Recorder popup;
    ASSERT_TRUE(popup.Create());
    popup.onTimer = [&](uint32_t id) {
        if (id == 1) popup.KillTimer(1);
        if (id == 2) {
            popup.KillTimer(2);
            popup.KillTimer(3);
        }
    };
    EXPECT_TRUE(popup.SetTimer(3, 1000));
    EXPECT_TRUE(popup.SetTimer(2, 30000));
    EXPECT_TRUE(popup.SetTimer(1, 10));
    ui.Advance(2500);
    EXPECT_EQ(popup.log, (Log{"timer1@10", "timer3@1000", "timer3@2000"}));
    EXPECT_EQ(ui.Now(), 2500u);

    popup.log.clear();
    ui.Advance(60000);
    ASSERT_EQ(popup.log.size(), 29u);  // 3000 ... 29000, then the end at 30000
    EXPECT_EQ(popup.log[0], "timer3@3000");
    // Due together: the one set first goes first, and timer 2 then stops both.
    EXPECT_EQ(popup.log[27], "timer3@30000");
    EXPECT_EQ(popup.log[28], "timer2@30000");
    EXPECT_EQ(ui.GetTimerCount(), 0);
}

TEST_F(HeadlessClockTest, SettingARunningNumberRestartsItAndKillingStopsIt) {
    Recorder popup;
    ASSERT_TRUE(popup.Create());
    popup.SetTimer(5, 100);
    ui.Advance(60);
    popup.SetTimer(5, 100);  // restarted: next due at 160, not 100
    EXPECT_EQ(ui.GetTimeUntil(popup, 5), 100);
    ui.Advance(99);
    EXPECT_TRUE(popup.log.empty());
    ui.Advance(1);
    EXPECT_EQ(popup.log, (Log{"timer5@160"}));

    EXPECT_TRUE(popup.KillTimer(5));
    EXPECT_FALSE(popup.KillTimer(5));
    EXPECT_FALSE(ui.HasTimer(popup, 5));
    ui.Advance(1000);
    EXPECT_EQ(popup.log.size(), 1u);

    popup.SetTimer(0, 1);  // below the Windows minimum of 10 ms; number 0 is a number like any other
    ui.Advance(10);
    EXPECT_EQ(popup.log.back(), "timer0@1170");
}

TEST_F(HeadlessClockTest, TimersBelongToWindowsThatExist) {
    Recorder popup;
    VnPaneWnd pane;
    EXPECT_FALSE(popup.SetTimer(1, 10));  // not created yet
    ASSERT_TRUE(popup.Create());
    ASSERT_TRUE(pane.Create(popup));
    EXPECT_TRUE(pane.SetTimer(1, 10));
    EXPECT_TRUE(popup.SetTimer(1, 10));
    EXPECT_TRUE(popup.PostMessage(kVnMsgUser + 1));
    EXPECT_EQ(ui.GetTimerCount(), 2);
    popup.Destroy();  // the children go with it, and their timers and messages
    EXPECT_FALSE(pane.IsCreated());
    EXPECT_EQ(ui.GetTimerCount(), 0);
    EXPECT_EQ(ui.GetPostedCount(), 0);
    ui.Advance(100);
    EXPECT_TRUE(popup.log.empty());
}

TEST_F(HeadlessClockTest, PumpDeliversPostedMessagesAndDueTimersWithoutMovingTheClock) {
    Recorder popup;
    ASSERT_TRUE(popup.Create());
    popup.SetTimer(1, 50);
    popup.PostMessage(kVnMsgUser + 1);
    EXPECT_TRUE(VnToolkit::PumpMessages());
    EXPECT_EQ(popup.log, (Log{"msg1@0"}));
    EXPECT_EQ(ui.Now(), 0u);

    // A long step that pumps while it runs: what was posted meanwhile and
    // the timers due by then arrive inside it, in order.
    popup.onTimer = [&](uint32_t id) {
        if (id != 1) return;
        popup.KillTimer(1);
        popup.PostMessage(kVnMsgUser + 2);
        ui.Advance(0);  // nothing is due yet: only the message
        VnToolkit::PumpMessages();
    };
    popup.SetTimer(9, 50);  // due together with timer 1, set after it
    ui.Advance(50);
    EXPECT_EQ(popup.log, (Log{"msg1@0", "timer1@50", "msg2@50", "timer9@50"}));
}

TEST_F(HeadlessClockTest, ModalLoopRunsTheScriptAndEndsWithTheResult) {
    Recorder popup;
    int calls = 0;
    ui.SetUserDelay(250);
    ui.SetScript([&](VnPopupWnd& active) {
        EXPECT_EQ(&active, &popup);
        ++calls;
        return VnUiDriver().Press(u"ok");  // "&OK" without its mnemonic
    });
    EXPECT_EQ(popup.DoModal(), 7);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ui.Now(), 250u);
    EXPECT_FALSE(ui.WasStalled());
    EXPECT_FALSE(popup.IsCreated());  // DoModal ends by destroying the window
}

TEST_F(HeadlessClockTest, ModalLoopLetsTimersRunAndGivesUpWhenNothingCanHappen) {
    {
        // The window posts itself a message when it appears; the timer that
        // the message starts ends it.
        Recorder popup;
        popup.onMessage = [&](uint32_t) { popup.SetTimer(2, 30000); };
        popup.onTimer = [&](uint32_t id) {
            if (id == 2) popup.EndModal(3);
        };
        ASSERT_TRUE(popup.Create());
        popup.PostMessage(kVnMsgUser);
        EXPECT_EQ(popup.DoModal(), 3);
        EXPECT_EQ(ui.Now(), 30000u);
        EXPECT_FALSE(ui.WasStalled());
    }
    {
        Recorder popup;
        ui.SetIdleLimit(5000);
        ASSERT_TRUE(popup.Create());
        popup.onTimer = [&](uint32_t id) { popup.KillTimer(id); };
        popup.SetTimer(4, 1000);
        EXPECT_EQ(popup.DoModal(), -1);
        EXPECT_TRUE(ui.WasStalled());
        EXPECT_EQ(popup.log.size(), 1u);
    }
}

#endif  // VN_TOOLKIT_HEADLESS
