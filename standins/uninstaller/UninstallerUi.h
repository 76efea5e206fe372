// What the uninstaller shows: the question before it starts, the progress,
// and at the end what it did and what stayed (user files, files left for the
// restart). Silent, it shows nothing. It also writes the run's log file,
// "VnMediaUninstall.log" in the user's temporary folder.
#pragma once

#include "Uninstaller.h"

class UninstallerUi {
public:
    void SetSilent(bool silent) { silent_ = silent; }
    void SetProductName(const VnString& name) { productName_ = name.IsEmpty() ? VN_LIT(u"Tunaro") : name; }

    // True to go on: always when silent, else the user's Yes.
    bool Confirm(bool removeSettings);
    void ShowProgress(int done, int total);
    void ShowSummary(const UninstallOutcome& outcome);
    void ShowFailure(const VnString& why);
    void WriteLog(const VnStringArray& lines);

    // The summary's text (tests read it).
    VnString SummaryText(const UninstallOutcome& outcome) const;

private:
    VnString Title() const { return productName_ + u" Uninstall"; }

    bool silent_ = false;
    bool progressSeamLogged_ = false;
    VnString productName_ = VN_LIT(u"Tunaro");
    VnStringArray seamLines_;
};
