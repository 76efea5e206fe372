// CWizardPropertyPage: the base of every page of the install wizard. It adds
// to the toolkit's page the installer's protocol: whether the page's question
// is already answered (then the frame passes over it, after storing its
// values through Apply), defaults prepared once on the first build, and the
// caption, title and subtitle the frame shows while the page is active.
#pragma once

#include "InstallOptions.h"
#include "VnWizardPageWnd.h"

class CInstallWizard;

class CWizardPropertyPage : public VnWizardPageWnd {
public:
    // The caption is the product name (form 1) + " - Install Wizard".
    CWizardPropertyPage(CInstallWizard* wizard, const VnString& title, const VnString& subtitle);

    CInstallWizard* GetWizard() const { return wizard_; }

    // Shown when not answered. An answered page is passed over when its Apply
    // succeeds; when Apply fails (it has told the user why) Express mode ends
    // and the page is shown.
    bool IsShown() override;
    // Next: stores and checks the page's values.
    bool OnLeaveForward() override;

    // Whether the page's question is already answered, so that it need not
    // be shown.
    virtual bool IsAnswered() = 0;
    // Computes the page's starting values; runs once, on the first build.
    virtual void PrepareDefaults() {}
    // Stores the page's values in InstallOptions; false (after telling the
    // user) when they cannot be accepted.
    virtual bool Apply() { return true; }

    bool IsPrepared() const { return prepared_; }

protected:
    // Pages build their controls after calling this, which prepares the
    // defaults the first time.
    void BuildControls() override;

    static InstallOptions& Options() { return InstallOptions::Get(); }

private:
    CInstallWizard* wizard_;
    bool prepared_ = false;
};
