// CSetupTypeCustomPpg: page 2, a normal install to a computer or a portable
// install. Shown only for a Custom setup of a product with the portable
// feature (173), and never in silent mode.
#pragma once

#include "VnRadioArray.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CSetupTypeCustomPpg : public CWizardPropertyPage {
public:
    static constexpr int kPortableFeature = 173;
    static constexpr int32_t kNormalChoice = 0;
    static constexpr int32_t kPortableChoice = 1;

    CSetupTypeCustomPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    bool IsAnswered() override;
    // Next: Portable from the choice.
    bool OnLeaveForward() override;

    VnRadioArray& GetChoices() { return choices_; }

protected:
    void BuildControls() override;
    void Layout() override;

private:
    VnStatic intro_;
    VnRadioArray choices_;
};
