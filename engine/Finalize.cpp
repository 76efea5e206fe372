#include "Finalize.h"

#include <ctime>
#include <memory>

#include "EngineLog.h"
#include "InstallOptions.h"
#include "InstallRunLog.h"
#include "InstallerKey.h"
#include "LoadedProduct.h"
#include "RunProgram.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"Finalize";
constexpr char16_t kPackageInstaller[] = u"PackageInstaller.exe";
constexpr char16_t kServiceProgram[] = u"VnService.exe";
constexpr int32_t kRegisterTimeLimitMs = 15000;
constexpr char16_t kShellExtensionMark[] = u"shellext.dll";

using StorePtr = std::unique_ptr<ToolsPropertyStore>;

StorePtr OpenStore(const char16_t* name) {
    ToolsInterface* tools = VnTools();
    return StorePtr(tools ? tools->OpenPropertyStore(name) : nullptr);
}

// Each entry under its kind's next counter, in list order.
void WriteFinalizeValues(ToolsPropertyStore& list, const InstallOptions& options) {
    int32_t installs = 0, deletions = 0;
    for (const VnString& entry : options.FinalizeInstallList) {
        const bool deletion = entry.Contains(kFinalizeDeleteMark);
        const VnString name = VnString::Format(deletion ? kFinalizeDeleteName : kFinalizeInstallName,
                                               deletion ? deletions++ : installs++);
        list.SetText(name, entry, 0);
    }
    for (int32_t j = 0; j < options.PendingOperations.GetSize(); ++j)
        list.SetText(VnString::Format(kFinalizeRegisterName, j), options.PendingOperations[j], 0);
}

void WriteRunOnceCommand(const VnString& destinationFolder) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.CreateKey(VnRegRoot::CurrentUser, kRunOnceKey, vnwin::kKeyReadWrite, key) != vnwin::kErrorSuccess) {
        EngineLog(kSource, VN_LIT(u"The RunOnce key could not be opened: the list is not armed"));
        return;
    }
    registry.SetValue(key, kRunOnceValue, VnRegValue::String(FinishInstallCommand(destinationFolder)));
    registry.CloseKey(key);
}

// The local date and time, "2026-12-05 21:40:07".
VnString LocalDateTimeText() {
    const uint64_t fileTime = VnPlatform().System().GetSystemTimeAsFileTime();
    const std::time_t seconds = std::time_t(fileTime / 10000000ULL - 11644473600ULL);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return VnString::FromUtf8(text);
}

void WritePropertiesValues(const InstallOptions& options) {
    StorePtr properties = OpenStore(u"Properties");
    if (!properties) return;
    const bool firstInstall =
        (!options.SameVersionInstalled && !options.OtherVersionInstalled) || options.PortableSetup;
    properties->SetNumber(u"Install - First Install", firstInstall ? 1 : 0, 0);
    if (firstInstall) {
        properties->SetText(u"Install - First Install Date", LocalDateTimeText(), 0);
        properties->SetNumber(u"Install - Number Runs Total", 0, 0);
    } else {
        properties->SetNumber(u"File Associations - Set", 1, 0);
    }
    properties->SetNumber(u"Install - Number Runs After Last Install", 0, 0);
}

void RegisterIfPresent(const VnString& program) {
    if (!VnFileSystem::FileExists(program)) return;
    RunProgramOptions wait;
    wait.timeLimitMilliseconds = kRegisterTimeLimitMs;
    RunProgram(program, VnStringArray{VN_LIT(u"/Register")}, wait);
}

void WriteInstallerCounters(const InstallOptions& options) {
    CInstallerKey installer;
    installer.SetInstallCount(installer.GetInstallCount() + 1);
    if (options.Upgrade) return;
    installer.SetPendingInstall(VnString());
    installer.SetPendingInstallVersion(VnString());
    installer.DeletePendingInstallRunCount();
    installer.DeletePendingInstallInstallCount();
}

}  // namespace

VnString FinishInstallCommand(const VnString& destinationFolder) {
    return u"\"" + destinationFolder + kPackageInstaller + u"\" \"/FinishInstall\"";
}

FinishState DecideFinish(const VnStringArray& finalizeList, const VnStringArray& replacedAtRestart,
                         bool restartRequired, bool noRun) {
    FinishState state;
    bool restart = restartRequired;
    for (const VnString& entry : finalizeList)
        if (!entry.IsEmpty() && entry.Find(u'|') >= 1 && !entry.ContainsNoCase(kShellExtensionMark)) restart = true;
    // The page's promise: files that could not be copied while in use need
    // the restart just as much when Windows replaces them as when the list does.
    for (const VnString& target : replacedAtRestart)
        if (!target.ContainsNoCase(kShellExtensionMark)) restart = true;
    state.restartNeeded = restart;
    state.resultCode = restart ? kFinishRestart : noRun ? kFinishNothing : kFinishRunProgram;
    return state;
}

FinishState Finalize() {
    ToolsLogScope scope(VnToolsLog(), kSource);
    InstallOptions& options = InstallOptions::Get();
    const bool deferred = !options.FinalizeInstallList.IsEmpty() || !options.PendingOperations.IsEmpty();
    if (deferred) {
        if (StorePtr list = OpenStore(kInstallerFinalizeStoreName)) WriteFinalizeValues(*list, options);
        WriteRunOnceCommand(options.DestinationFolder);
        scope.Write(VnString::Format(u"Left for after the restart: %d file operation(s), %d registration(s)",
                                     options.FinalizeInstallList.GetSize(), options.PendingOperations.GetSize()));
    }
    FinishState state = DecideFinish(options.FinalizeInstallList, ReplacementsWaitingForRestart(),
                                     options.RestartRequired, options.NoRun);
    state.workDeferred = deferred;
    options.FinalizeInstallList.RemoveAll();
    WritePropertiesValues(options);

    ProductInformation* product = LoadedProductInformation();
    const VnString executable = product ? product->GetExecutableName() : VnString();
    const bool orvanProduct = !executable.IsEmpty() && executable.ContainsNoCase(u"Orvan");
    if (!orvanProduct && !options.DestinationFolder.IsEmpty()) {
        if (!executable.IsEmpty()) RegisterIfPresent(options.DestinationFolder + executable);
        RegisterIfPresent(options.DestinationFolder + kServiceProgram);
    }
    WriteInstallerCounters(options);
    scope.Write(VnString::Format(u"Restart needed: %d, result code %d", state.restartNeeded, state.resultCode));
    scope.SetResult(state.resultCode);
    return state;
}
