#include "RunInstallWizard.h"

#include "CompletedInstall.h"
#include "InstallExitCodes.h"
#include "InstallOptions.h"
#include "InstallWizard.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"
#include "VnToolkit.h"

#if VN_TOOLKIT_HEADLESS
#include "VnHeadlessUi.h"
#endif

namespace {
constexpr char16_t kSource[] = u"CInstallWizard::DoModal";
}  // namespace

// Without a screen the modal loop gives up once its scripted user has no
// more to do and nothing else is due: the wizard was shown and left waiting.
bool WizardLeftWaiting() {
#if VN_TOOLKIT_HEADLESS
    return VnHeadlessUi::Get().WasStalled();
#else
    return false;
#endif
}

int WizardExitCode(int32_t wizardResult, const FinishState& finish) {
    // The critical-error box cancels the wizard, but the install ended on an error.
    if (InstallOptions::Get().EndedOnCriticalError) return kExitFailed;
    switch (wizardResult) {
    // Finishing comes only after the copy page: the install is on the machine.
    case VnWizardPopupWnd::kResultFinished:
        return CompletedInstallExitCode(finish.restartNeeded || finish.workDeferred);
    case VnWizardPopupWnd::kResultCancelled:
        return kExitCancelled;
    default:
        return WizardLeftWaiting() ? kExitStoppedAtWizardHandOff : kExitFailed;
    }
}

int RunInstallWizard() {
    ToolsLogScope scope(VnToolsLog(), kSource);
    CInstallWizard wizard;
    // Long steps keep the window alive (and its Cancel button working while a
    // download may be stopped) through the toolkit's pump.
    SetMessagePump([] { VnToolkit::PumpMessages(); });
    wizard.DoModal();
    SetMessagePump(nullptr);
    const int32_t result = wizard.GetResultCode();
    scope.Write(VnString::Format(u"Wizard ended on page %d with result %d", wizard.GetCurrentIndex(), result));
    scope.SetResult(result);
    return WizardExitCode(result, wizard.GetFinishPage().GetState());
}
