#include "EngineLog.h"
#include "InstallDependency.h"
#include "InstallOptions.h"
#include "InstallSteps.h"
#include "LoadedProduct.h"
#include "DependenciesText.h"

namespace {
constexpr char16_t kSource[] = u"InstallDependencies";
constexpr int kDirectXFeature = 182;
}  // namespace

void InstallDependencies(IInstallStepPage& page) {
    CInstallDependencies worker(page);
    worker.Run();
}

void CInstallDependencies::Run() {
    ToolsLogScope scope(VnToolsLog(), kSource);
    page_.SetHeader(DependencyText(u"Installing Dependencies"),
                    DependencyText(u"Please wait while Install Wizard installs dependencies."));
    AllowCancel(false);
    const InstallOptions& options = InstallOptions::Get();
    if (options.NoDependencies || options.PortableSetup) {
        scope.Write(VN_LIT(u"No dependencies for this install (NoDependencies or portable)"));
    } else {
        ProductInformation* product = LoadedProductInformation();
        if (product && product->HasFeature(kDirectXFeature)) {
            CInstallDirectX directX(*this);
            if (!RunOne(directX)) return;
        }
        CInstallEdge edge(*this);
        if (!RunOne(edge)) return;
        CInstallBundledMedia media(*this);
        if (!RunOne(media)) return;
    }
    ScheduleNextInstallStep(page_);
}

bool CInstallDependencies::RunOne(IInstallDependency& dependency) {
    const bool installed = dependency.Install();
    if (cancelled_) {
        // The user cancelled a download: the wizard is ending, nothing follows.
        EngineLog(kSource, VN_LIT(u"Download canceled: the install stops here"));
        return false;
    }
    if (!installed && !dependency.CanContinueAfterFailure()) {
        page_.CancelWizard();
        return false;
    }
    return true;
}

void CInstallDependencies::AllowCancel(bool allowed) {
    page_.SetCanCancel(allowed);
    page_.RefreshWizardFrame();
}
