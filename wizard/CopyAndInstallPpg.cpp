#include "CopyAndInstallPpg.h"

#include "EngineLog.h"
#include "InstallSteps.h"
#include "InstallWizard.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnLayout.h"

namespace {
constexpr char16_t kSource[] = u"CCopyAndInstallPpg";
}  // namespace

CCopyAndInstallPpg::CCopyAndInstallPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {}

void CCopyAndInstallPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    timing_ = PromoTiming::FromProductInformation();
    setupFolder_ = GetInstallerFolder() + u"Setup\\";
    languageCode_ = UiLanguageCode();
    status_.Create(*this, VnDllString(VN_LIT(u"Preparing...")));
    progress_.Create(*this);
    promo_.Create(*this, VnDllString(VN_LIT(u"Promotion picture")), {}, kVnOptCenter);
    ShowPromo(promoIndex_);
    SetTimer(kSlideshowTimer, uint32_t(timing_.PeriodMs()));
    EngineLog(kSource, VnString::Format(u"Slideshow: %d images, %d ms each, language code \"%s\"", timing_.count,
                                        timing_.PeriodMs(), languageCode_));
    ScheduleNextInstallStep(*this);
}

void CCopyAndInstallPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(status_);
    column.Skip(VnLayout::kSpacing);
    column.Place(progress_);
    column.Skip(VnLayout::kSpacing);
    column.Fill(promo_);
}

void CCopyAndInstallPpg::OnTimer(uint32_t id) {
    if (id == kSlideshowTimer) {
        NextPromo();
        return;
    }
    if (id > kEndStep) {
        CWizardPropertyPage::OnTimer(id);
        return;
    }
    // A step runs once per start: its timer goes before the work, so that a
    // message pump inside the work cannot start it again.
    KillTimer(id);
    switch (id) {
    case kDependencyStep:
        InstallDependencies(*this);
        break;
    case kCopyAndInstallStep:
        installFiles_.CopyAndInstall(this);
        break;
    case kComponentStep:
        InstallComponents(*this);
        break;
    case kFinishingStep:
        StartFinishingCountdown();
        break;
    case kFinishingCountdownStep:
        CountDown();
        break;
    default:
        EndInstalling();
        break;
    }
}

void CCopyAndInstallPpg::ShowPromo(int32_t index) {
    const VnString picture = FindPromoPicture(setupFolder_, index, languageCode_);
    if (!picture.IsEmpty()) promo_.SetImageFile(picture);
}

void CCopyAndInstallPpg::NextPromo() {
    if (promoIndex_ >= timing_.count) {
        KillTimer(kSlideshowTimer);
        promosDone_ = true;
        return;
    }
    ShowPromo(++promoIndex_);
}

void CCopyAndInstallPpg::StartFinishingCountdown() {
    if (!promosDone_) {
        progress_.SetRange(0, timing_.CountdownTicks(promoIndex_));
        progress_.SetPos(0);
        SetStatusText(VnDllString(VN_LIT(u"Finalizing installation...")));
    }
    ScheduleNextInstallStep(*this);
}

void CCopyAndInstallPpg::CountDown() {
    if (promosDone_) {
        ScheduleNextInstallStep(*this);
        return;
    }
    SetTimer(kFinishingCountdownStep, kPromoCountdownTickMs);
    progress_.OffsetPos(1);
}

void CCopyAndInstallPpg::EndInstalling() {
    installingDone_ = true;
    progress_.Fill();
    canGoNext_ = true;
    EngineLog(kSource, VN_LIT(u"Installing done: moving on"));
    CInstallWizard* wizard = GetWizard();
    if (!wizard) return;
    wizard->UpdateFrame();
    if (CanGoNext()) wizard->SetActivePage(wizard->GetCurrentIndex() + 1, true);
}

void CCopyAndInstallPpg::SetStatusText(const VnString& text) { status_.SetText(text); }

void CCopyAndInstallPpg::SetProgressRange(int minimum, int maximum) { progress_.SetRange(minimum, maximum); }

void CCopyAndInstallPpg::SetProgressPosition(int position) { progress_.SetPos(position); }

void CCopyAndInstallPpg::SetHeader(const VnString& title, const VnString& subtitle) {
    SetTitle(title);
    SetSubtitle(subtitle);
}

void CCopyAndInstallPpg::RefreshWizardFrame() {
    if (CInstallWizard* wizard = GetWizard()) wizard->UpdateFrame();
}

void CCopyAndInstallPpg::CancelWizard() {
    // As the Cancel button would, past the wizard's refusal to cancel from
    // this page on: the engine gave up.
    OnCancel();
    OnDeactivate();
    if (CInstallWizard* wizard = GetWizard())
        wizard->PostMessage(VnWizardPopupWnd::kEndWizardCommand, uintptr_t(VnWizardPopupWnd::kResultCancelled));
}

void CCopyAndInstallPpg::StartStepTimer(int32_t step) { SetTimer(uint32_t(step), kStepTimerMs); }
