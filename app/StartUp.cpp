// CInstallApp::InitInstance: the start-up sequence, step by step in its order.
// A step that refuses returns false at once; Run then goes on to
// ExitInstance, and the process ends with the exit code left here.
#include "CommandLine.h"
#include "InstallApp.h"
#include "InstallDescription.h"
#include "InstallExitCodes.h"
#include "InstallationRecord.h"
#include "Preflight.h"
#include "ProcessInformationBlock.h"
#include "ProductNames.h"
#include "ToolsLink.h"
#include "VnDllString.h"
#include "WizardHandOff.h"

namespace {

const char16_t* const kVirtualStoreKeys[] = {u"Software\\Classes\\VirtualStore\\Machine\\Software",
                                            u"Software\\Classes\\VirtualStore\\Machine\\Software\\Wow6432Node"};
constexpr char16_t kVirtualisedCompanyKey[] = u"V. Arnel";

// The drive and directory of the running installer's own path.
VnString FolderOfInstaller() {
    const VnString path = VnPlatform().System().GetModuleFileName();
    return path.Left(path.ReverseFind(u'\\') + 1);
}

}  // namespace

bool CInstallApp::InitInstance() {
    // Any refusal below is an error unless the step says otherwise.
    SetExitCode(kExitFailed);
    installerFolder_ = FolderOfInstaller();

    InitializeCom();  // 1
    VnStringGlobals::Get();
    CreateInstanceMutex();             // 2
    RemoveVirtualStoreCopies();        // 3
    PrepareProcessInformationBlock();  // 4
    if (!LoadTools()) return false;    // 5
    if (!CheckProductNames()) return false;
    VnSetTools(Tools());
    VnDllString::SetLanguage(Tools()->GetLanguage());
    Log(VnString::Format(u"Installer folder: %s", installerFolder_));
    FindInstalledCopy();                                             // 6
    LoadInstallDescription(installerFolder_, InstallOptions::Get());  // 7
    ReadCommandLineOptions();                                        // 8
    ApplySkin();                                                     // 9
    ShowLanguageChooser();                                           // 10
    if (!CheckSingleInstance()) return false;                        // 11
    if (!RunPreflightUnlessSkipped()) return false;                  // 12
    PrepareLauncher();                                               // 13
    SetExitCode(RunWizardHandOff(*Tools(), InstallOptions::Get()));  // 14
    return false;                                                    // 15
}

void CInstallApp::CreateInstanceMutex() {
    mutexHandle_ = VnPlatform().Processes().CreateMutex(kMutexName, mutexError_);
}

// Copies of the company's keys that Windows virtualised for an earlier,
// unelevated run would hide the real ones from the product.
void CInstallApp::RemoveVirtualStoreCopies() {
    IVnRegistry& registry = VnPlatform().Registry();
    for (const char16_t* path : kVirtualStoreKeys) {
        VnRegKey key = 0;
        if (registry.OpenKey(VnRegRoot::CurrentUser, path, vnwin::kKeyReadWrite, key) != vnwin::kErrorSuccess) continue;
        registry.DeleteTree(key, kVirtualisedCompanyKey);  // a stale copy holds subkeys
        registry.CloseKey(key);
    }
}

void CInstallApp::PrepareProcessInformationBlock() {
    ProcessInformationBlock& block = ProcessInformationBlock::Get();
    block.MarkAsInstaller();
    block.SetModuleFolder(installerFolder_ + u"Playmoor\\");
    block.SetDataFolder(installerFolder_ + u"Playmoor\\");
}

bool CInstallApp::CheckProductNames() {
    const VnString problem = ProductNamesProblem(*Product());
    if (problem.IsEmpty()) return true;
    Log(problem);
    ReportToolsFailure(problem);
    return false;
}

void CInstallApp::FindInstalledCopy() {
    VnString folder = FindInstallation(Product()->GetProductName(4));
    if (!folder.IsEmpty()) Log(VnString::Format(u"Installed copy found: %s", folder));
}

void CInstallApp::ReadCommandLineOptions() {
    VnString optionString = JoinCommandLine(Arguments());
    Log(VnString::Format(u"Command line: %s", optionString));
    ParseCommandLineOptions(optionString, InstallOptions::Get());
}

void CInstallApp::ShowLanguageChooser() {
    if (Product()->GetInfoInt(u"/*/Installer/ShowLanguageSelection", 0) == 0) return;
    if (ToolsLanguage* language = Tools()->GetLanguage()) language->ShowChooser();
}

bool CInstallApp::CheckSingleInstance() {
    if (mutexError_ != vnwin::kErrorAlreadyExists && mutexError_ != vnwin::kErrorAccessDenied) return true;
    Tools()->ShowMessage(
        Translated(u"Another instance of the Varnel installer is already running on this system.\r\n\r\n") +
            Translated(u"Please finish any other Varnel installations and try again."),
        Translated(u"Varnel Installer"));
    return false;
}

bool CInstallApp::RunPreflightUnlessSkipped() {
    if (IsPreflightSkipRequested()) {
        Log(VN_LIT(u"Ctrl+Shift+F held: preflight checks skipped"));
        return true;
    }
    PreflightContext context{*Tools(), *Product(), InstallOptions::Get(), ProcessInformationBlock::Get()};
    PreflightOutcome outcome = RunPreflightChecks(context);
    if (outcome == PreflightOutcome::kPassed) return true;
    SetExitCode(outcome == PreflightOutcome::kDeclined ? kExitCancelled : kExitFailed);
    return false;
}
