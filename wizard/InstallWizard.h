// CInstallWizard: the one window of an interactive install. It lists the
// pages in their order, sets the caption and the icon, and guards cancelling:
// once the copy page (index 4) is reached it refuses, before that it asks.
#pragma once

#include "CopyAndInstallPpg.h"
#include "FileAssociationPpg.h"
#include "FinishPpg.h"
#include "LicensePpg.h"
#include "SelectPathPpg.h"
#include "SetupTypeCustomPpg.h"
#include "SetupTypePpg.h"
#include "ShortcutsPpg.h"
#include "VnWizardPopupWnd.h"

class CInstallWizard : public VnWizardPopupWnd {
public:
    // The copy page's index whether or not the file associations page is
    // listed; from it on cancelling is refused.
    static constexpr int32_t kCopyPageIndex = 4;
    // The file associations page is listed only for products with this feature.
    static constexpr int kFileAssociationsFeature = 176;
    static constexpr char16_t kIconFileName[] = u"Application.ico";

    CInstallWizard();
    ~CInstallWizard() override;

    CLicensePpg& GetLicensePage() { return license_; }
    CSetupTypePpg& GetSetupTypePage() { return setupType_; }
    CSetupTypeCustomPpg& GetSetupTypeCustomPage() { return setupTypeCustom_; }
    CSelectPathPpg& GetSelectPathPage() { return selectPath_; }
    CCopyAndInstallPpg& GetCopyPage() { return copy_; }
    CFileAssociationPpg& GetFileAssociationPage() { return fileAssociation_; }
    CShortcutsPpg& GetShortcutsPage() { return shortcuts_; }
    CFinishPpg& GetFinishPage() { return finish_; }

    // The window icon's file: "Application.ico" beside the installer, else
    // among the product's default art in the payload; empty when neither exists.
    static VnString FindIconFile();

    // The cancel rules for the close box and for Cancel (button or Esc).
    intptr_t WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

protected:
    // The frame, the caption, the icon, then page 0.
    void BuildControls() override;

private:
    // True when the user may cancel now and confirmed it.
    bool ConfirmCancel();

    CLicensePpg license_;
    CSetupTypePpg setupType_;
    CSetupTypeCustomPpg setupTypeCustom_;
    CSelectPathPpg selectPath_;
    CCopyAndInstallPpg copy_;
    CFileAssociationPpg fileAssociation_;
    CShortcutsPpg shortcuts_;
    CFinishPpg finish_;
};
