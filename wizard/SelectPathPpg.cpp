#include "SelectPathPpg.h"

#include "DestinationDefaults.h"
#include "DestinationPath.h"
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
    const VnString typed = path_.GetPath();
    SetDestination(typed);
    return Check(typed);
}

bool CSelectPathPpg::Apply() { return Check(Options().DestinationFolder); }

bool CSelectPathPpg::Check(const VnString& typed) {
    IDestinationMachine& machine = machine_ ? *machine_ : PlatformDestinationMachine();
    const VnStringArray occupied =
        FoldersOfOtherInstallations(Options(), ProcessInformationBlock::Get().GetProgramFolder());
    if (longestPayloadPath_ < 0) longestPayloadPath_ = LongestPayloadPath(GetInstallerFolder() + u"Playmoor\\");
    const DestinationVerdict verdict = CheckDestination(Options().DestinationFolder, occupied, longestPayloadPath_, machine);
    // What the engine installs into is the canonical form the rules judged.
    if (!verdict.folder.IsEmpty()) Options().DestinationFolder = verdict.folder;
    if (verdict.rule == DestinationRule::Accepted) {
        if (path_.IsCreated()) path_.SetPath(verdict.folder);
        return true;
    }
    const DestinationMessage message = DescribeRejection(verdict, typed);
    wizard_tools::ShowMessage(message.text, message.title);
    return false;
}
