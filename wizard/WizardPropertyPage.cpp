#include "WizardPropertyPage.h"

#include "VnDllString.h"
#include "WizardTools.h"

CWizardPropertyPage::CWizardPropertyPage(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : wizard_(wizard) {
    SetCaption(wizard_tools::ProductName(1) + u" - " + VnDllString(VN_LIT(u"Install Wizard")).Get());
    SetTitle(title);
    SetSubtitle(subtitle);
}

bool CWizardPropertyPage::IsShown() {
    if (!IsAnswered()) return true;
    if (Apply()) return false;
    Options().ExpressSetup = false;
    return true;
}

bool CWizardPropertyPage::OnLeaveForward() { return Apply(); }

void CWizardPropertyPage::BuildControls() {
    if (prepared_) return;
    prepared_ = true;
    PrepareDefaults();
}
