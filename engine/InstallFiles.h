// CInstallFiles: step 1 of the copy page, the one long operation that puts the
// product on the machine. CopyAndInstall runs its phases in a fixed order on
// the user-interface thread, showing each phase's status and progress on the
// page and pumping the thread's messages after every status change and every
// copied file, so that the window keeps painting:
//
//   clean-up, default library and settings, settings migration (one-step
//   phases); the core libraries and the installation record; the system
//   files and fonts (twice on 64-bit Windows: the native system folder with
//   file-system redirection off, then the 32-bit one with it on); the server
//   product's stop and its old "Server\" folder; the program files; removal
//   of what the copy must not leave (the old Chinese language folder, the
//   driver set-up files); the licence texts; self-registration of the
//   collected components; the program folder in the process-information
//   block; the registry settings; the uninstall entry; and the hand-back to
//   the page's step scheduler.
//
// The only way out before the end is Cancel in the core libraries' Retry /
// Cancel box: the wizard is cancelled and nothing already copied is undone.
#pragma once

#include "InstallStepPage.h"
#include "VnArray.h"
#include "VnString.h"

class CInstallFiles {
public:
    // Destination paths of copied components, self-registered in the
    // registration phase; filled by the folder copies. Never cleared here.
    VnStringArray RegisterList;

    // Runs the sequence with `page` as its progress display, then hands
    // control back to the page's step scheduler (or cancels the wizard when
    // the user gives up on the core libraries). A null page or a destination
    // folder that is not a full folder path installs nothing.
    void CopyAndInstall(IInstallStepPage* page);

private:
    void ShowCopyHeader();
    void ShowStatus(const VnString& text);
    // Range 0..1 at 0, the status, the work, position 1; pumped between.
    void RunSingleStepPhase(const char16_t* source, const char16_t* status, void (*work)());
    void InstallSystemFilesAndFonts();
    void InstallSystemFilesPass(int pass);
    void StopServerProduct();
    void InstallProgramFiles();
    void RemoveUnwantedProgramFiles();
    void CopyLicenceTexts();
    void RegisterCollectedComponents();
    void FinishInstall();

    IInstallStepPage* page_ = nullptr;
    VnString destination_;
    VnString installerFolder_;
    VnString productName_;     // form 0
    VnString executableName_;
    // The server product: its executable name contains "Orvan".
    bool orvanProduct_ = false;
};

// Frees the COM libraries no longer in use (CoFreeUnusedLibraries) after the
// core libraries are in place; nothing outside Windows.
void FreeUnusedComLibraries();
