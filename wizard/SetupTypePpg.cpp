#include "SetupTypePpg.h"

#include "InstallerKey.h"
#include "VnDllString.h"
#include "VnLayout.h"

CSetupTypePpg::CSetupTypePpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {
    choices_.AddChoice(VnDllString(VN_LIT(u"&Express")),
                       VnDllString(VN_LIT(u"Most common set of program features will be installed.")));
    choices_.AddChoice(VnDllString(VN_LIT(u"&Custom")),
                       VnDllString(VN_LIT(u"Choose program installation location and file associations. "
                                          u"Recommended for advanced users.")));
}

void CSetupTypePpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    intro_.Create(*this, VnDllString(VN_LIT(u"Please select a setup type.")));
    choices_.Create(*this, kExpressChoice);
    autoInstall_.Create(*this, VnDllString(VN_LIT(u"Next time use &Auto Install after 30 second timeout.")),
                        CInstallerKey().GetRunAutoInstall());
}

void CSetupTypePpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(intro_);
    column.Skip(VnLayout::kParagraph);
    choices_.Place(column);
    column.Skip(VnLayout::kParagraph + VnLayout::kParagraph);
    column.Place(autoInstall_);
}

bool CSetupTypePpg::IsAnswered() {
    if (Options().AutoInstallElapsed) return true;
    if (Options().Upgrade) {
        Options().ExpressSetup = true;
        return true;
    }
    return Options().Silent;
}

bool CSetupTypePpg::OnLeaveForward() {
    Options().PortableSetup = false;
    const bool answered = IsAnswered();
    Options().ExpressSetup = answered;
    if (!answered) {
        Options().ExpressSetup = choices_.GetSelectedIndex() == kExpressChoice;
        CInstallerKey().SetRunAutoInstall(autoInstall_.IsChecked());
    }
    return Apply();
}
