// CShortcutsPpg: which shortcuts to make (Start Menu, desktop, and before
// Windows Vista Quick Launch). They are made in Apply, that is on Next or
// when the page is passed over (silent, Express and portable installs, with
// the defaults). A portable install makes none. The page never refuses Next
// and cannot be cancelled.
#pragma once

#include "Shortcuts.h"
#include "VnButton.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CShortcutsPpg : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;

    bool IsAnswered() override;
    bool CanCancel() override { return false; }
    void PrepareDefaults() override;
    // The boxes become the choice; the Start Menu choice is stored for next time.
    bool OnLeaveForward() override;
    bool Apply() override;

    const ShortcutChoice& GetChoice() const { return choice_; }
    VnCheckbox& GetQuickLaunchBox() { return quickLaunch_; }

protected:
    void BuildControls() override;
    void Layout() override;

private:
    VnStatic intro_;
    VnCheckbox startMenu_, desktop_, quickLaunch_;
    ShortcutChoice choice_;
};
