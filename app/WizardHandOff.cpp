#include "WizardHandOff.h"

#include <atomic>

#include "ProcessInformationBlock.h"
#include "RunInstallWizard.h"

namespace {

constexpr char16_t kSource[] = u"CInstallWizard";
std::atomic<bool> g_reached{false};

VnString OptionsSummary(const InstallOptions& o) {
    return VnString::Format(
        u"Options: Silent=%d Upgrade=%d NoAssociations=%d NoDependencies=%d NoUpgrade=%d NoDriver=%d NoRun=%d "
        u"DistributorID=\"%s\" AllowDowngrade=%d",
        o.Silent, o.Upgrade, o.NoAssociations, o.NoDependencies, o.NoUpgrade, o.NoDriver, o.NoRun, o.DistributorID,
        o.AllowDowngrade);
}

}  // namespace

int RunWizardHandOff(ToolsInterface& tools, const InstallOptions& options) {
    ToolsLog* log = tools.GetLog();
    if (log) {
        log->Write(kSource, VN_LIT(u"Hand-off reached: start-up is complete, the wizard is shown"));
        log->Write(kSource, OptionsSummary(options));
        log->Write(kSource, VnString::Format(u"Installed copy: \"%s\"",
                                             ProcessInformationBlock::Get().GetProgramFolder()));
        log->Flush();
    }
    g_reached = true;
    return RunInstallWizard();
}

bool WizardHandOffReached() { return g_reached.load(); }

void ForgetWizardHandOff() { g_reached = false; }
