// CSetupTypePpg: page 1, Express or Custom, and the check box that makes the
// next run of the installer start by itself after the auto-install
// countdown ("Run Auto Install" in the "Installer" key).
#pragma once

#include "VnButton.h"
#include "VnRadioArray.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CSetupTypePpg : public CWizardPropertyPage {
public:
    static constexpr int32_t kExpressChoice = 0;
    static constexpr int32_t kCustomChoice = 1;

    CSetupTypePpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    // Answered when the auto-install countdown ran out, in upgrade mode
    // (which also sets Express) and in silent mode.
    bool IsAnswered() override;
    // Next: Express or Custom from the choice, the check box stored; an
    // earlier portable choice is reset.
    bool OnLeaveForward() override;

    VnRadioArray& GetChoices() { return choices_; }
    VnCheckbox& GetAutoInstallBox() { return autoInstall_; }

protected:
    void BuildControls() override;
    void Layout() override;

private:
    VnStatic intro_;
    VnRadioArray choices_;
    VnCheckbox autoInstall_;
};
