// CFinishPpg: the last page. When first built it has the install finalised
// (Finalize.h), which decides whether Windows must restart; then it offers
// "Restart Windows now" (with why), or "Run installed program now", or,
// with /NoRun and no restart, nothing. Finish carries the choice out; a
// cancelled restart keeps the page. No Back, no Cancel.
#pragma once

#include "Finalize.h"
#include "VnButton.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CFinishPpg : public CWizardPropertyPage {
public:
    using CWizardPropertyPage::CWizardPropertyPage;

    // Silent, or Express with nothing to ask beyond running the program.
    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
    void PrepareDefaults() override;
    // The boxes become the choice.
    bool OnLeaveForward() override;
    bool Apply() override;

    const FinishState& GetState() const { return state_; }
    int32_t GetChoice() const { return choice_; }
    VnCheckbox& GetRestartBox() { return restart_; }
    VnCheckbox& GetRunBox() { return run_; }

protected:
    void BuildControls() override;
    void Layout() override;

private:
    VnStatic done_, restartNote_;
    VnCheckbox restart_, run_;
    FinishState state_;
    int32_t choice_ = kFinishNothing;
};
