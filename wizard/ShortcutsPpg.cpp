#include "ShortcutsPpg.h"

#include "InstallerKey.h"
#include "LoadedProduct.h"
#include "OperatingSystem.h"
#include "ToolsLink.h"
#include "VnDllString.h"
#include "VnLayout.h"

bool CShortcutsPpg::IsAnswered() { return Options().Silent || Options().ExpressSetup || Options().PortableSetup; }

void CShortcutsPpg::PrepareDefaults() {
    ProductInformation* product = LoadedProductInformation();
    const int32_t current = product ? CurrentVersionNumber(*product) : 0;
    choice_ = DefaultShortcutChoice(Options(), CInstallerKey().GetStartMenuVersion(), current);
}

void CShortcutsPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    intro_.Create(*this, VnDllString(VN_LIT(u"Install Wizard is now ready to install shortcuts. Please select from "
                                            u"the following options")));
    startMenu_.Create(*this, VnDllString(VN_LIT(u"Create Start Menu shortcuts")), choice_.startMenu);
    desktop_.Create(*this, VnDllString(VN_LIT(u"Create a desktop shortcut")), choice_.desktop);
    if (OffersQuickLaunch(GetOperatingSystemCode()))
        quickLaunch_.Create(*this, VnDllString(VN_LIT(u"Create a Quick Launch shortcut")), choice_.quickLaunch);
}

void CShortcutsPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(intro_);
    column.Skip(VnLayout::kParagraph);
    for (VnCheckbox* box : {&startMenu_, &desktop_, &quickLaunch_}) {
        if (!box->IsCreated()) continue;
        column.Place(*box);
        column.Skip(VnLayout::kSpacing);
    }
}

bool CShortcutsPpg::OnLeaveForward() {
    if (!IsAnswered()) {
        choice_.startMenu = startMenu_.IsChecked();
        choice_.desktop = desktop_.IsChecked();
        choice_.quickLaunch = quickLaunch_.IsCreated() && quickLaunch_.IsChecked();
        CInstallerKey().SetCreateStartMenu(choice_.startMenu ? 1 : 0);
    }
    return Apply();
}

bool CShortcutsPpg::Apply() {
    ProductInformation* product = LoadedProductInformation();
    if (Options().PortableSetup || !product) return true;
    ToolsLogScope scope(VnToolsLog(), u"CShortcutsPpg::Apply");
    const VnString destination = Options().DestinationFolder;
    if (choice_.startMenu) CreateStartMenuShortcuts(*product, destination);
    if (choice_.quickLaunch) CreateQuickLaunchShortcut(*product, destination);
    if (choice_.desktop) CreateDesktopShortcut(*product, destination);
    return true;
}
