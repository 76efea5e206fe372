#include "SetupTypeCustomPpg.h"

#include "VnDllString.h"
#include "VnLayout.h"
#include "WizardTools.h"

CSetupTypeCustomPpg::CSetupTypeCustomPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {
    // The descriptions keep two blanks after each full stop.
    choices_.AddChoice(VnDllString(VN_LIT(u"&Normal install to a computer")),
                       VnDllString(VN_LIT(u"This will let you install the program to any location on your "
                                          u"computer.  You can choose the drive and path.")));
    choices_.AddChoice(VnDllString(VN_LIT(u"&Portable install")),
                       VnDllString(VN_LIT(u"This lets you put a complete copy of the program on a removable "
                                          u"drive, so you can take it to another compatible computer and run "
                                          u"it.  This will also ask for a drive and path.")));
}

void CSetupTypeCustomPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    intro_.Create(*this, VnDllString(VN_LIT(u"Please select custom setup type.")));
    choices_.Create(*this, kNormalChoice);
}

void CSetupTypeCustomPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(intro_);
    column.Skip(VnLayout::kParagraph);
    choices_.Place(column);
}

bool CSetupTypeCustomPpg::IsAnswered() {
    if (!wizard_tools::HasFeature(kPortableFeature) || Options().Silent) return true;
    return Options().ExpressSetup;
}

bool CSetupTypeCustomPpg::OnLeaveForward() {
    if (!IsAnswered()) Options().PortableSetup = choices_.GetSelectedIndex() == kPortableChoice;
    return Apply();
}
