#include "LicensePpg.h"

#include "EngineLog.h"
#include "InstallWizard.h"
#include "InstallationSearch.h"
#include "InstallerKey.h"
#include "LicenseText.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnLayout.h"
#include "WizardTools.h"

namespace {
// Process-wide: the countdown runs at most once per run.
int32_t g_countdown = CLicensePpg::kCountdownStart;
}  // namespace

CLicensePpg::CLicensePpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {}

int32_t CLicensePpg::GetCountdown() { return g_countdown; }

void CLicensePpg::ResetCountdownForTests() { g_countdown = kCountdownStart; }

VnString CLicensePpg::GetNextText() { return VnDllString(VN_LIT(u"Accept")); }

void CLicensePpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    const VnString text = ReadLicenseText(GetInstallerFolder() + kLicenseFileName);
    intro_.Create(*this, VnDllString(VN_LIT(u"Please read the following license agreement carefully.")));
    license_.Create(*this, text, {}, kVnOptReadOnly | kVnOptMultiLine);
    SetTimer(kDeferredStartTimer, kDeferredStartMs);
}

void CLicensePpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(intro_);
    column.Skip(VnLayout::kSpacing);
    column.Fill(license_);
}

void CLicensePpg::OnTimer(uint32_t id) {
    switch (id) {
    case kDeferredStartTimer:
        KillTimer(kDeferredStartTimer);
        StartAfterBuild();
        break;
    case kCountdownTimer:
        ShowCountdownInCaption();
        break;
    case kAutoInstallTimer:
        FinishCountdown();
        break;
    default:
        CWizardPropertyPage::OnTimer(id);
        break;
    }
}

void CLicensePpg::StartAfterBuild() {
    // A timer comes only once no window of the thread waits to be painted, so
    // the scope's start (written at once) is the page's first paint done
    // (scripts/bench-startup-wine.sh reads it).
    ToolsLogScope scope(VnToolsLog(), u"CLicensePpg::StartAfterBuild");
    DetectExistingInstallations();
    CInstallerKey installerKey;
    if (Options().Silent || Options().Upgrade) {
        GoNext();
        return;
    }
    if (!installerKey.GetRunAutoInstall()) return;
    countingDown_ = true;
    SetTimer(kAutoInstallTimer, kAutoInstallMs);
    SetTimer(kCountdownTimer, kCountdownMs);
}

void CLicensePpg::ShowCountdownInCaption() {
    const int32_t seconds = g_countdown--;
    SetCaption(VnString::Format(VnDllString(VN_LIT(u"%s - Install Wizard (Auto Install in %d seconds)")).Get(),
                                wizard_tools::ProductName(1), seconds));
    if (GetWizard()) GetWizard()->UpdateFrame();
}

void CLicensePpg::FinishCountdown() {
    StopCountdown();
    Options().ExpressSetup = true;
    Options().AutoInstallElapsed = true;
    GoNext();
}

void CLicensePpg::StopCountdown() {
    KillTimer(kAutoInstallTimer);
    KillTimer(kCountdownTimer);
    countingDown_ = false;
}

void CLicensePpg::GoNext() {
    CInstallWizard* wizard = GetWizard();
    if (wizard && CanGoNext()) wizard->SetActivePage(wizard->GetCurrentIndex() + 1, true);
}

bool CLicensePpg::OnLeaveForward() {
    StopCountdown();
    return Apply();
}
