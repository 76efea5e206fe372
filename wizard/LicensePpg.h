// CLicensePpg: page 0, the welcome page with the licence agreement and an
// "Accept" button. Just after it is built it runs the search for earlier
// installations; in silent and upgrade mode it then moves on by itself, and
// when the user chose auto install last time it counts down 30 seconds in the
// window caption and goes on in Express mode when the time is up.
#pragma once

#include "VnEditCtrl.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CLicensePpg : public CWizardPropertyPage {
public:
    // Toolkit timers of the page.
    static constexpr uint32_t kDeferredStartTimer = 1;  // once, 10 ms after the build
    static constexpr uint32_t kAutoInstallTimer = 2;    // the end of the countdown
    static constexpr uint32_t kCountdownTimer = 3;      // the caption, every second
    static constexpr uint32_t kDeferredStartMs = 10;
    static constexpr uint32_t kAutoInstallMs = 30000;
    static constexpr uint32_t kCountdownMs = 1000;
    static constexpr int32_t kCountdownStart = 30;

    CLicensePpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    // Accept: stops the countdown.
    bool OnLeaveForward() override;
    VnString GetNextText() override;  // "Accept"
    bool IsAnswered() override { return false; }

    VnEditCtrl& GetLicenseBox() { return license_; }
    bool IsCountingDown() const { return countingDown_; }
    // The countdown counter: starts at 30 for the whole run, never reset.
    static int32_t GetCountdown();
    static void ResetCountdownForTests();

protected:
    void BuildControls() override;
    void Layout() override;
    void OnTimer(uint32_t id) override;

private:
    void StartAfterBuild();
    void ShowCountdownInCaption();
    void FinishCountdown();
    void StopCountdown();
    void GoNext();

    VnStatic intro_;
    VnEditCtrl license_;
    bool countingDown_ = false;
};
