// CSelectPathPpg: page 3, the program folder. It computes a default on its
// first build, lets the user type or browse, and on Next (and when it is
// passed over, since Apply runs then too) checks the folder against the
// destination rules, creates it and stores it as DestinationFolder.
#pragma once

#include "DestinationRules.h"
#include "VnEditCtrl.h"
#include "VnStatic.h"
#include "WizardPropertyPage.h"

class CSelectPathPpg : public CWizardPropertyPage {
public:
    CSelectPathPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    // Answered in silent mode, for an installed copy of this version (unless
    // portable), and in Express mode.
    bool IsAnswered() override;
    void PrepareDefaults() override;
    // Next: the path box's text becomes the destination.
    bool OnLeaveForward() override;
    // The destination rules; the first broken one is shown and refuses.
    bool Apply() override;

    // Stores `text` as DestinationFolder with exactly one trailing backslash
    // (a text of two backslashes keeps both; an empty text stays empty).
    static void SetDestination(const VnString& text);

    VnFilenameWnd& GetPathBox() { return path_; }
    // The rules' view of the machine; the platform's unless replaced.
    void SetMachine(IDestinationMachine* machine) { machine_ = machine; }

protected:
    void BuildControls() override;
    void Layout() override;

private:
    // Apply's work; a refusal names the folder as `typed` shows it.
    bool Check(const VnString& typed);

    VnStatic label_;
    VnFilenameWnd path_;
    IDestinationMachine* machine_ = nullptr;
    int32_t longestPayloadPath_ = -1;  // listed on the first check, then kept
};
