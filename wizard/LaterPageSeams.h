// The pages after the copy page, as seams: each stands in the page list with
// its title, subtitle and the frame's rules for it (skipping, Back, Cancel),
// so that the list, the button labels and the cancel threshold are those of
// the whole wizard. None of them does its own work yet (no associations, no
// shortcuts, no finalisation or run request):
//
// - A page that is skipped (its IsAnswered holds, as in a silent install)
//   lets the wizard run on to its end, which finishes it (result 1).
// - A page that would be shown ends the wizard as soon as it is built, with
//   CInstallWizard::kResultEndedAfterCopying, and says in the log that it is
//   not built. The install itself (copying and registration) is complete by
//   then, so both count as completed for the exit code.
#pragma once

#include "WizardPropertyPage.h"

class CLaterPageSeam : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;

    // A skipped page stores its values here: logs that the page's work is
    // not built and that nothing was done.
    bool Apply() override;

protected:
    // Logs that the page is not built and ends the wizard after copying.
    void BuildControls() override;
};

class CFileAssociationPpg : public CLaterPageSeam {
public:
    using CLaterPageSeam::CLaterPageSeam;
    // Answered in silent mode, for a portable install, and for an Express
    // reinstall of this version.
    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
};

class CShortcutsPpg : public CLaterPageSeam {
public:
    using CLaterPageSeam::CLaterPageSeam;
    // Answered in silent, Express and portable mode.
    bool IsAnswered() override;
    bool CanCancel() override { return false; }
};

class CFinishPpg : public CLaterPageSeam {
public:
    using CLaterPageSeam::CLaterPageSeam;
    // Answered in silent mode. (An Express install whose finish state needs
    // no question is the finish page's own rule, left to that page.)
    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
};
