// What the uninstaller shows: its window (UninstallerWindow.h) with the
// question, the progress and at the end what it did and what stayed (user
// files with their folders, the settings, files left for the restart), and
// the question about a running copy of the program. Silent, it shows
// nothing. It also writes the run's log file, "VnMediaUninstall.log" in the
// user's temporary folder.
#pragma once

#include "Uninstaller.h"
#include "UninstallerWindow.h"

class UninstallerUi {
public:
    void SetSilent(bool silent) { silent_ = silent; }
    void SetProductName(const VnString& name) { productName_ = name.IsEmpty() ? VN_LIT(u"Tunaro") : name; }
    // Whether the settings and library go too, and where they are kept otherwise.
    void SetSettings(bool removed, const VnString& dataFolder) {
        removeSettings_ = removed;
        dataFolder_ = dataFolder;
    }

    // Runs `work`: silent at once, else in the window once the user chose
    // "Uninstall". False when the user cancelled (nothing was done).
    bool Run(const UninstallerWindow::Work& work, UninstallOutcome& outcome);
    // The program is running: may it be closed? Always yes when silent.
    bool AskToCloseProgram();
    // A failure before the window (an unknown option): a message box.
    void ShowFailure(const VnString& why);
    void WriteLog(const VnStringArray& lines);

    // The confirmation's and the summary's texts (tests read them).
    VnString QuestionText() const;
    VnString SummaryText(const UninstallOutcome& outcome) const;

private:
    VnString Title() const { return productName_ + u" Uninstall"; }

    bool silent_ = false;
    bool removeSettings_ = false;
    VnString dataFolder_;
    VnString productName_ = VN_LIT(u"Tunaro");
    VnStringArray failures_;
};
