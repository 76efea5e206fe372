#include "RunInstallWizard.h"

#include "InstallExitCodes.h"
#include "InstallWizard.h"
#include "ToolsLink.h"

namespace {
constexpr char16_t kSource[] = u"CInstallWizard::DoModal";
}

int WizardExitCode(int32_t wizardResult) {
    switch (wizardResult) {
    case VnWizardPopupWnd::kResultFinished:
        return kExitCompleted;
    case VnWizardPopupWnd::kResultCancelled:
        return kExitCancelled;
    case CInstallWizard::kResultStoppedBeforeCopying:
        return kExitStoppedBeforeCopying;
    default:
        return kExitFailed;
    }
}

int RunInstallWizard() {
    ToolsLogScope scope(VnToolsLog(), kSource);
    CInstallWizard wizard;
    wizard.DoModal();
    const int32_t result = wizard.GetResultCode();
    scope.Write(VnString::Format(u"Wizard ended on page %d with result %d", wizard.GetCurrentIndex(), result));
    scope.SetResult(result);
    return WizardExitCode(result);
}
