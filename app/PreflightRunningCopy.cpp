// Preflight: a running copy of the product is closed (after asking, unless
// the install is silent), and the installed copy's service is stopped.
#include "VnFileSystem.h"
#include "Preflight.h"
#include "RunProgram.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kServerEditionMark[] = u"Orvan";
constexpr double kServerCloseWaitSeconds = 5.0;
constexpr uint32_t kServerClosePollMilliseconds = 50;

bool AskToClose(PreflightContext& context) {
    if (context.options.Silent) return true;
    const VnString n1 = context.product.GetProductName(1);
    const VnString text =
        VnString::Format(Translated(u"Install Wizard has detected a running copy of %s.\r\n\r\n").View(), n1) +
        VnString::Format(Translated(u"Do you want Install Wizard to close %s and continue setup?").View(), n1);
    return context.tools.AskQuestion(text, n1 + Translated(u" Open")) == kToolsAnswerYes;
}

// The server edition is asked through its main window (wParam 1) and given up
// to five seconds; any other edition is asked once through the tools library.
void CloseRunningProduct(PreflightContext& context) {
    ProductInformation& product = context.product;
    if (product.GetProductName(0).Find(kServerEditionMark) < 0) {
        product.CloseProduct();
        return;
    }
    IVnSystem& system = VnPlatform().System();
    VnPlatform().Processes().PostMessage(product.GetProductWindow(), vnwin::kWmClose, 1, 0);
    const uint64_t started = system.GetTickCount64();
    while (product.IsProductRunning() && double(system.GetTickCount64() - started) / 1000.0 < kServerCloseWaitSeconds)
        system.Sleep(kServerClosePollMilliseconds);
}

}  // namespace

PreflightOutcome CheckRunningProduct(PreflightContext& context) {
    ProductInformation& product = context.product;
    if (!product.IsProductRunning()) return PreflightOutcome::kPassed;
    if (!AskToClose(context)) return PreflightOutcome::kDeclined;
    CloseRunningProduct(context);
    if (!product.IsProductRunning()) return PreflightOutcome::kPassed;

    const VnString n0 = product.GetProductName(0);
    context.tools.ShowMessage(
        VnString::Format(Translated(u"Install Wizard could not close the running copy of %s.\r\n").View(), n0) +
            VnString::Format(Translated(u"Please manually close %s and then press 'OK'.\r\n\r\n").View(), n0) +
            VnString::Format(
                Translated(u"If you can not close %s restart your computer and run Install Wizard again.").View(), n0),
        Translated(u"Please Close ") + n0);
    if (!product.IsProductRunning()) return PreflightOutcome::kPassed;

    context.tools.ShowMessage(
        VnString::Format(Translated(u"%s is still running.  Install Wizard can not continue.\r\n\r\n").View(), n0) +
            Translated(u"Please restart your computer and run Install Wizard again."),
        Translated(u"Install Wizard Error"));
    return PreflightOutcome::kFailed;
}

// A service left running by the installed copy would hold its files.
PreflightOutcome StopInstalledService(PreflightContext& context) {
    const VnString programFolder = context.block.GetProgramFolder();
    if (!programFolder.IsEmpty()) RunProgram(NormaliseFolder(programFolder) + u"VnService.exe", VnStringArray{VN_LIT(u"/Stop")});
    return PreflightOutcome::kPassed;
}
