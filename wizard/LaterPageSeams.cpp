#include "LaterPageSeams.h"

#include "InstallWizard.h"
#include "VnDllString.h"
#include "VnLayout.h"

CCopyAndInstallPpg::CCopyAndInstallPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {}

void CCopyAndInstallPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    status_.Create(*this, VnDllString(VN_LIT(u"Preparing...")));
    if (CInstallWizard* wizard = GetWizard())
        wizard->PostMessage(VnWizardPopupWnd::kEndWizardCommand, uintptr_t(CInstallWizard::kResultStoppedBeforeCopying));
}

void CCopyAndInstallPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(status_);
}

bool CFileAssociationPpg::IsAnswered() {
    return Options().Silent || (Options().ExpressSetup && Options().SameVersionInstalled) || Options().PortableSetup;
}

bool CShortcutsPpg::IsAnswered() { return Options().Silent || Options().ExpressSetup || Options().PortableSetup; }

bool CFinishPpg::IsAnswered() { return Options().Silent; }
