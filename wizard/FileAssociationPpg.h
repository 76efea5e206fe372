// CFileAssociationPpg: the file associations page, listed for products with
// feature 176. A seam: choosing file types and having the package installer
// write them is not built yet. The page keeps its place and the frame's rules
// (skipping, no Back, no Cancel), so the wizard's list, labels and cancel
// threshold are those of the whole wizard. Shown, it says that the file types
// are left as they are and lets the user go on; its Apply logs that its work
// is not built and that nothing was done.
#pragma once

#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CFileAssociationPpg : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;
    // Answered in silent mode, for a portable install, and for an Express
    // reinstall of this version.
    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
    bool Apply() override;

protected:
    void BuildControls() override;
    void Layout() override;

private:
    VnStatic note_;
};
