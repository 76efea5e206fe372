#include "SelectPathPpg.h"

#include "DestinationDefaults.h"
#include "ProcessInformationBlock.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnLayout.h"
#include "WizardTools.h"

CSelectPathPpg::CSelectPathPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {}

void CSelectPathPpg::SetDestination(const VnString& text) { Options().DestinationFolder = NormaliseFolder(text); }

bool CSelectPathPpg::IsAnswered() {
    return Options().Silent || (Options().SameVersionInstalled && !Options().PortableSetup) || Options().ExpressSetup;
}

void CSelectPathPpg::PrepareDefaults() { SetDestination(DefaultDestinationFolder(Options())); }

void CSelectPathPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    label_.Create(*this, VnDllString(VN_LIT(u"&Install to:")), {}, kVnOptMnemonic);
    path_.Create(*this, Options().DestinationFolder);
    path_.SetBrowseText(VnDllString(VN_LIT(u"&Change...")));
    path_.SetBrowseTitle(VnDllString(VN_LIT(u"Choose the destination folder")));
}

void CSelectPathPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(label_);
    column.Skip(VnLayout::kSpacing);
    column.Place(path_);
}

bool CSelectPathPpg::OnLeaveForward() {
    // The page is left forward only while it is shown. When it is shown
    // although answered (silent mode or this version installed, and the
    // folder failed its check), the user must still be able to correct the
    // folder: the path box, which showed the stored folder, counts as well.
    SetDestination(path_.GetPath());
    return Apply();
}

bool CSelectPathPpg::Apply() {
    IDestinationMachine& machine = machine_ ? *machine_ : PlatformDestinationMachine();
    const VnStringArray occupied =
        FoldersOfOtherInstallations(Options(), ProcessInformationBlock::Get().GetProgramFolder());
    const DestinationRule broken = CheckDestination(Options().DestinationFolder, occupied, machine);
    if (broken == DestinationRule::Accepted) return true;
    const DestinationMessage message = DescribeRejection(broken);
    wizard_tools::ShowMessage(message.text, message.title);
    return false;
}
