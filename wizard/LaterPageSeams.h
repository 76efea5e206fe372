// The pages after the destination page, as seams: each stands in the page
// list with its title, subtitle and the frame's rules for it (skipping, Back,
// Cancel), so that the list, the button labels and the cancel threshold are
// those of the whole wizard. None of them does its own work yet:
//
// - CCopyAndInstallPpg, the copy-and-install page, ends the wizard as soon as
//   it is built, with CInstallWizard::kResultStoppedBeforeCopying: nothing is
//   installed. So the pages after it are never reached for now.
// - CFileAssociationPpg, CShortcutsPpg and CFinishPpg have no controls.
#pragma once

#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CCopyAndInstallPpg : public CWizardPropertyPage {
public:
    CCopyAndInstallPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);
    bool IsAnswered() override { return false; }
    bool CanGoBack() override { return false; }
    // Next comes only once installing has ended; Cancel never.
    bool CanGoNext() override { return false; }
    bool CanCancel() override { return false; }

protected:
    // Shows "Preparing..." and asks the wizard to end at the seam.
    void BuildControls() override;
    void Layout() override;

private:
    VnStatic status_;
};

class CFileAssociationPpg : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;
    // Answered in silent mode, for a portable install, and for an Express
    // reinstall of this version.
    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
};

class CShortcutsPpg : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;
    // Answered in silent, Express and portable mode.
    bool IsAnswered() override;
    bool CanCancel() override { return false; }
};

class CFinishPpg : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;
    // Answered in silent mode. (An Express install whose finish state needs
    // no question is the finish page's own rule, left to that page.)
    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
};
