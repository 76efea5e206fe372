#include "LaterPageSeams.h"

#include "EngineLog.h"
#include "InstallWizard.h"

void CLaterPageSeam::BuildControls() {
    CWizardPropertyPage::BuildControls();
    // The frame makes a page's window before it asks whether the page is
    // shown; a page that will be passed over has nothing to stop.
    if (IsAnswered()) return;
    EngineLog(u"CLaterPageSeam",
              VnString::Format(u"Not built yet: the page \"%s\" (and those after it); the wizard ends after copying",
                               GetTitle()));
    if (CInstallWizard* wizard = GetWizard())
        wizard->PostMessage(VnWizardPopupWnd::kEndWizardCommand, uintptr_t(CInstallWizard::kResultEndedAfterCopying));
}

bool CLaterPageSeam::Apply() {
    EngineLog(u"CLaterPageSeam",
              VnString::Format(u"Not built yet: the work of the page \"%s\"; nothing was done", GetTitle()));
    return true;
}

bool CFileAssociationPpg::IsAnswered() {
    return Options().Silent || (Options().ExpressSetup && Options().SameVersionInstalled) || Options().PortableSetup;
}

bool CShortcutsPpg::IsAnswered() { return Options().Silent || Options().ExpressSetup || Options().PortableSetup; }

bool CFinishPpg::IsAnswered() { return Options().Silent; }
