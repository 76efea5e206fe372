// CCopyAndInstallPpg: page 4, where the install happens. It shows a status
// line, a progress bar and the promotion slideshow while it runs, one after
// the other from one-shot page timers, the dependency installers (step 0),
// the copy-and-install sequence (step 1) and the component registration
// (step 2); then it lets the slideshow have its full time, counting down on
// the progress bar (steps 3 and 4, every 333 ms), and moves on by itself
// (step 5). Each step hands back through ScheduleNextInstallStep, so the
// window paints between steps; an installed copy that is already current
// runs the dependency step only.
//
// The page cannot be left backwards, cannot be cancelled, and enables Next
// only at the end.
#pragma once

#include "InstallFiles.h"
#include "InstallStepPage.h"
#include "PromoSlideshow.h"
#include "VnProgressCtrl.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CCopyAndInstallPpg : public CWizardPropertyPage, public IInstallStepPage {
public:
    // Toolkit timers of the page: the steps use their own numbers 0 to 5.
    static constexpr uint32_t kFinishingCountdownStep = 4;
    static constexpr uint32_t kEndStep = 5;
    static constexpr uint32_t kSlideshowTimer = 100;
    static constexpr uint32_t kStepTimerMs = 1;

    CCopyAndInstallPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    bool IsAnswered() override { return false; }
    bool CanGoBack() override { return false; }
    bool CanGoNext() override { return canGoNext_; }
    bool CanCancel() override { return canCancel_; }
    // The Cancel button is disabled here; the flag serves the wizard's own
    // cancel path.
    void OnCancel() override { cancelRequested_ = true; }

    // IInstallStepPage: what the step workers drive.
    void SetStatusText(const VnString& text) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPosition(int position) override;
    void SetHeader(const VnString& title, const VnString& subtitle) override;
    void SetCanCancel(bool canCancel) override { canCancel_ = canCancel; }
    void RefreshWizardFrame() override;
    void CancelWizard() override;
    int32_t GetStepCounter() const override { return stepCounter_; }
    void SetStepCounter(int32_t step) override { stepCounter_ = step; }
    void StartStepTimer(int32_t step) override;

    bool IsCancelRequested() const override { return cancelRequested_; }
    bool IsInstallingDone() const { return installingDone_; }
    bool ArePromosDone() const { return promosDone_; }
    int32_t GetPromoIndex() const { return promoIndex_; }
    const PromoTiming& GetPromoTiming() const { return timing_; }
    VnStatic& GetStatus() { return status_; }
    VnProgressCtrl& GetProgress() { return progress_; }
    VnImageCtrl& GetPromoImage() { return promo_; }
    CInstallFiles& GetInstallFiles() { return installFiles_; }

protected:
    void BuildControls() override;
    void Layout() override;
    void OnTimer(uint32_t id) override;

private:
    void ShowPromo(int32_t index);
    void NextPromo();
    void StartFinishingCountdown();
    void CountDown();
    void EndInstalling();

    VnStatic status_;
    VnProgressCtrl progress_;
    VnImageCtrl promo_;
    CInstallFiles installFiles_;
    PromoTiming timing_;
    VnString setupFolder_;
    VnString languageCode_;
    bool cancelRequested_ = false;
    int32_t stepCounter_ = 0;
    int32_t promoIndex_ = 1;
    bool installingDone_ = false;
    bool promosDone_ = false;
    bool canCancel_ = false;
    bool canGoNext_ = false;
};
