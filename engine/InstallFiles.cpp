// CopyAndInstall: the phases in their order, the page header and the
// one-step phases, and the end of the step.
#include "InstallFiles.h"

#include "CoreLibraries.h"
#include "FileCopy.h"
#include "InstallFilesText.h"
#include "InstallOptions.h"
#include "InstallRecorder.h"
#include "InstallRunLog.h"
#include "InstallSteps.h"
#include "LoadedProduct.h"
#include "ProcessInformationBlock.h"
#include "RuntimeFunctionTables.h"
#include "ToolsLink.h"
#include "UninstallEntry.h"
#include "VnFileSystem.h"

namespace {

constexpr char16_t kSource[] = u"CInstallFiles::CopyAndInstall";

// A full folder path ending in a backslash ("C:\..." or "\\server\..."):
// the sequence deletes trees below it, so a relative or empty folder must
// never reach it.
bool IsFullFolderPath(const VnString& folder) {
    if (!folder.EndsWith(u"\\")) return false;
    const bool drive = folder.GetLength() >= 3 && folder[1] == u':' && folder[2] == u'\\';
    return drive || folder.StartsWith(u"\\\\");
}

}  // namespace

void CInstallFiles::CopyAndInstall(IInstallStepPage* page) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    const InstallOptions& options = InstallOptions::Get();
    scope.Write(DescribeInstallRun(options));
    if (!page || !IsFullFolderPath(options.DestinationFolder)) {
        scope.Write(VN_LIT(u"No copy page or no full destination folder: nothing installed"));
        if (page) page->CancelWizard();
        return;
    }
    page_ = page;
    destination_ = options.DestinationFolder;
    installerFolder_ = GetInstallerFolder();
    ProductInformation* product = LoadedProductInformation();
    productName_ = product ? product->GetProductName(0) : VnString();
    executableName_ = product ? product->GetExecutableName() : VnString();
    orvanProduct_ = !executableName_.IsEmpty() && executableName_.ContainsNoCase(u"Orvan");
    if (CInstallRecorder* recorder = CInstallRecorder::Active(); recorder && !recorder->IsWritingFile()) {
        const uint32_t error =
            product ? recorder->StartRecordFile(destination_, product->GetProductVersion(),
                                                FolderOfEntryToReplace(*product, options))
                    : recorder->StartRecordFile(destination_, VnString());
        if (error) scope.Write(VnString::Format(u"The installation record cannot be written (error %d)", int(error)));
    }

    ShowCopyHeader();
    RunSingleStepPhase(u"CInstallFiles::CleanInstallationDirectory", u"Cleaning installation directory...",
                       CleanObsoleteFiles);
    RunSingleStepPhase(u"CInstallFiles::LoadDefaultLibrary", u"Loading default library and settings...",
                       InstallDefaultLibraryAndSettings);
    RunSingleStepPhase(u"CInstallFiles::UpgradeFromPreviousVersion", u"Upgrading from previous version...",
                       MigrateSettingsFromEarlierVersion);
    {
        ToolsLogScope coreScope(VnToolsLog(), u"CInstallFiles::InstallCoreLibraries");
        if (!InstallCoreLibraries()) {
            coreScope.Write(VN_LIT(u"The user gave up on the core libraries: the wizard is cancelled"));
            page_->CancelWizard();
            return;
        }
    }
    FreeUnusedComLibraries();
    page_->SetProgressPosition(0);
    PumpMessages();

    InstallSystemFilesAndFonts();
    if (orvanProduct_) StopServerProduct();
    DeleteDirectoryTree(destination_ + u"Data\\Panel\\Root\\Default\\static");
    InstallProgramFiles();
    RemoveUnwantedProgramFiles();
    CopyLicenceTexts();
    RegisterCollectedComponents();
    FinishInstall();
}

void CInstallFiles::ShowCopyHeader() {
    page_->SetHeader(TranslatedMessage(u"Copying Files"),
                     TranslatedMessage(u"Please wait while Install Wizard copies and registers files."));
    page_->SetCanCancel(false);
    page_->RefreshWizardFrame();
}

void CInstallFiles::ShowStatus(const VnString& text) {
    page_->SetStatusText(text);
    PumpMessages();
}

void CInstallFiles::RunSingleStepPhase(const char16_t* source, const char16_t* status, void (*work)()) {
    ToolsLogScope scope(VnToolsLog(), source);
    page_->SetProgressRange(0, 1);
    page_->SetProgressPosition(0);
    ShowStatus(TranslatedMessage(status));
    work();
    page_->SetProgressPosition(1);
    PumpMessages();
}

// The program folder the tools library reports is the new one from here on;
// then the registry settings, the uninstall entry and the hand-back.
void CInstallFiles::FinishInstall() {
    ProcessInformationBlock::Get().SetProgramFolder(destination_);
    RunSingleStepPhase(u"CInstallFiles::CreateRegistrySettings", u"Creating registry settings...",
                       WriteProgramRegistrySettings);
    {
        ToolsLogScope scope(VnToolsLog(), u"CInstallFiles::WriteUninstallEntry");
        WriteUninstallEntry();
    }
    LogWorkWaitingForRestart(kSource);
    ReportFilesNotInstalled();
    ScheduleNextInstallStep(*page_);
    FreeRuntimeFunctionTables();
}
