#include "InstallWizard.h"

#include "VnDllString.h"
#include "VnFileSystem.h"
#include "WizardTools.h"

namespace {

VnString Translated(const VnString& literal) { return VnDllString(literal).Get(); }

VnString SetupTypeTitle() { return Translated(VN_LIT(u"Setup Type")); }
VnString SetupTypeSubtitle() { return Translated(VN_LIT(u"Choose the setup type that best suits your needs.")); }

// Where "Application.ico" is looked for, below the installer's folder.
constexpr const char16_t* kIconFolders[] = {u"", u"Playmoor\\Data\\Default Art\\"};

}  // namespace

CInstallWizard::CInstallWizard()
    : license_(this, Translated(VN_LIT(u"Welcome")), Translated(VN_LIT(u"Welcome to the Install Wizard."))),
      setupType_(this, SetupTypeTitle(), SetupTypeSubtitle()),
      setupTypeCustom_(this, SetupTypeTitle(), SetupTypeSubtitle()),
      selectPath_(this, Translated(VN_LIT(u"Destination Folder")),
                  Translated(VN_LIT(u"Click Next to install to this folder, or click Change to install to a "
                                    u"different folder."))),
      copy_(this, Translated(VN_LIT(u"Installing Dependencies")),
            Translated(VN_LIT(u"Please wait while Install Wizard installs dependencies."))),
      fileAssociation_(this, Translated(VN_LIT(u"File Associations")),
                       Translated(VN_LIT(u"Please select the file associations."))),
      shortcuts_(this, Translated(VN_LIT(u"Create Shortcuts")),
                 Translated(VN_LIT(u"Please select which shortcuts you would like to create."))),
      finish_(this, Translated(VN_LIT(u"Install Complete")),
              Translated(VN_LIT(u"Thank you for installing ")) + wizard_tools::ProductName(1)) {
    AddPage(license_);
    AddPage(setupType_);
    AddPage(setupTypeCustom_);
    AddPage(selectPath_);
    AddPage(copy_);
    if (wizard_tools::HasFeature(kFileAssociationsFeature)) AddPage(fileAssociation_);
    AddPage(shortcuts_);
    AddPage(finish_);
}

CInstallWizard::~CInstallWizard() {
    Destroy();
    // The pages are members of this class and go before the frame's own
    // destructor runs: the frame lets go of them now.
    ReleasePages();
}

VnString CInstallWizard::FindIconFile() {
    const VnString installerFolder = GetInstallerFolder();
    for (const char16_t* folder : kIconFolders) {
        const VnString path = installerFolder + folder + kIconFileName;
        if (VnFileSystem::FileExists(path)) return path;
    }
    return VnString();
}

void CInstallWizard::BuildControls() {
    VnWizardPopupWnd::BuildControls();
    SetText(wizard_tools::ProductName(1) + u" - " + Translated(VN_LIT(u"Install Wizard")));
    const VnString icon = FindIconFile();
    if (!icon.IsEmpty()) SetIconFile(icon);
    SetActivePage(0, false);
}

intptr_t CInstallWizard::WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    const bool closeBox = msg == kVnMsgSysCommand && (wParam & 0xFFF0) == kVnSysCommandClose;
    const bool cancelCommand =
        msg == kVnMsgCommand && VnCommandId(wParam) == kVnIdCancel && VnCommandCode(wParam) == kVnNotifyClicked;
    if ((closeBox || cancelCommand) && !ConfirmCancel()) return 0;
    return VnWizardPopupWnd::WindowProc(msg, wParam, lParam);
}

bool CInstallWizard::ConfirmCancel() {
    const VnString name = wizard_tools::ProductName(1);
    // From the copy page on the install cannot be undone, except while the
    // page itself allows Cancel: a dependency download that may be stopped.
    VnWizardPageWnd* page = GetCurrentPage();
    if (GetCurrentIndex() >= kCopyPageIndex && !(GetCurrentIndex() == kCopyPageIndex && page && page->CanCancel())) {
        wizard_tools::ShowMessage(
            VnString::Format(Translated(VN_LIT(u"%s installation can no longer be canceled.\r\n\r\n")).View(), name) +
                Translated(VN_LIT(u"Once installation has completed, you can uninstall using Control Panel > "
                                  u"Add or Remove Programs.")),
            Translated(VN_LIT(u"Cancel Unavailable")));
        return false;
    }
    return wizard_tools::AskYes(
        VnString::Format(Translated(VN_LIT(u"Are you sure you want to cancel %s installation?")).View(), name),
        Translated(VN_LIT(u"Confirm Cancellation")));
}
