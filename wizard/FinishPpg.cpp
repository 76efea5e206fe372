#include "FinishPpg.h"

#include "VnDllString.h"
#include "VnLayout.h"

bool CFinishPpg::IsAnswered() {
    return Options().Silent || (Options().ExpressSetup && choice_ == kFinishRunProgram);
}

void CFinishPpg::PrepareDefaults() {
    state_ = Finalize();
    choice_ = state_.resultCode;
}

void CFinishPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    done_.Create(*this, VnDllString(VN_LIT(u"Installation successfully completed.")));
    if (state_.restartNeeded) {
        restart_.Create(*this, VnDllString(VN_LIT(u"Restart Windows now")), choice_ == kFinishRestart);
        restartNote_.Create(*this, VnDllString(VN_LIT(u"Install Wizard could not copy all files.  Windows must be "
                                                      u"restarted to complete setup.")));
    } else if (!Options().NoRun) {
        run_.Create(*this, VnDllString(VN_LIT(u"Run installed program now")), choice_ == kFinishRunProgram);
    }
}

void CFinishPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(done_);
    column.Skip(VnLayout::kParagraph);
    if (restart_.IsCreated()) {
        column.Place(restart_);
        column.Skip(VnLayout::kSpacing);
        column.Place(restartNote_, VnLayout::kIndent);
    }
    if (run_.IsCreated()) column.Place(run_);
}

bool CFinishPpg::OnLeaveForward() {
    if (!IsAnswered()) {
        choice_ = kFinishNothing;
        if (restart_.IsCreated() && restart_.IsChecked()) choice_ = kFinishRestart;
        else if (run_.IsCreated() && run_.IsChecked()) choice_ = kFinishRunProgram;
    }
    return Apply();
}

bool CFinishPpg::Apply() { return ApplyFinishChoice(choice_); }
