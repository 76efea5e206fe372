#include "CompanionPackages.h"

#include "CompanionFiles.h"
#include "CompanionRecord.h"
#include "InstallPackage.h"
#include "PackageFileActions.h"
#include "ProcessInformationBlock.h"
#include "ToolsLibrary.h"
#include "ToolsLink.h"

namespace {
constexpr uint32_t kErrorInstallFailure = 1603;
}  // namespace

CompanionProductTools::CompanionProductTools(const VnString& programFolder) {
    if (VnTools()) return;
    ProcessInformationBlock& block = ProcessInformationBlock::Get();
    block.SetProgramFolder(programFolder);
    block.SetModuleFolder(programFolder);
    own_ = std::make_unique<VnToolsLibrary>(programFolder);
    own_->SetProcessFolders(&block);
    VnSetTools(own_.get());
}

CompanionProductTools::~CompanionProductTools() {
    if (own_) VnSetTools(nullptr);
}

uint32_t InstallPackageFile(const VnString& package, const VnString& programFolder, bool quiet) {
    if (package.IsEmpty()) return vnwin::kErrorInvalidParameter;
    if (!IsWebLocation(package) && !CompanionFileExists(package)) return vnwin::kErrorFileNotFound;
    CompanionProductTools tools(programFolder);
    QuietPackageMessages messages(quiet);
    CInstallPackage installer;
    bool installed = installer.Load(package);
    if (installed) {
        installed = installer.Install(PackageInstallContext{programFolder, quiet, nullptr});
        if (installed) installer.RunPostInstall();
    }
    SetCompanionState(u"Packages", package,
                      !installed ? VN_LIT(u"install failed")
                      : quiet    ? VN_LIT(u"quietly installed")
                                 : VN_LIT(u"installed"));
    return installed ? 0 : kErrorInstallFailure;
}
