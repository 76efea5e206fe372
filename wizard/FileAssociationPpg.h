// CFileAssociationPpg: the file associations page, listed for products with
// feature 176, after the copy page. It lists the catalogue's file types in
// six groups with check boxes (VnFileAssociationsReportCtrl) and the buttons
// "Select All", "Unselect All", "Select Default", and keeps the choice in the
// program's "Properties": "File Associations - Selected Media Types" (the
// extensions joined with ";"; "NONE" means no choice stored) and, once the
// user confirmed the page, "File Associations - Set" = 1. The installed
// package installer then writes the stored choice ("PackageInstaller.exe
// /RegFileAssociations", through the same association writer).
//
// Starting choice: the stored one when present; otherwise the catalogue's
// default associated types, unless /NoAssociations or a portable install.
// Answered (skipped, its choice still stored and written) in silent mode, for
// a portable install, and for an Express reinstall of this version.
#pragma once

#include "FileAssociationsReportCtrl.h"
#include "VnButton.h"
#include "WizardPropertyPage.h"

class CFileAssociationPpg : public CWizardPropertyPage {
public:
    // Reads the stored choice.
    CFileAssociationPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    bool IsAnswered() override;
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
    void PrepareDefaults() override;
    // The checked rows become the choice, then Apply.
    bool OnLeaveForward() override;
    // Stores the choice and runs the package installer; true.
    bool Apply() override;

    const VnStringArray& GetSelectedTypes() const { return selectedTypes_; }
    bool HasStoredSelection() const { return storedSelection_; }
    VnFileAssociationsReportCtrl& GetList() { return list_; }

protected:
    void BuildControls() override;
    void Layout() override;
    void OnCommand(VnWnd& control, uint16_t code) override;

private:
    VnStringArray selectedTypes_;
    bool storedSelection_ = false;
    bool defaultsPrepared_ = false;
    VnFileAssociationsReportCtrl list_;
    VnButton selectAll_, unselectAll_, selectDefault_;
};
