// Finding, downloading and running a dependency's set-up program.
#include "DependenciesText.h"
#include "EngineLog.h"
#include "InstallDependency.h"
#include "InstallOptions.h"
#include "LoadedProduct.h"
#include "RunProgram.h"
#include "VnFileSystem.h"

namespace {
constexpr char16_t kSource[] = u"RunDependencySetup";
constexpr int kProgressWhileRunning = 30;
}  // namespace

VnString CInstallDependencies::GetSetupFile(const VnString& displayName, const VnString& fileName,
                                            int downloadNumber) {
    const VnStringArray& folders = InstallOptions::Get().SupportFolders;
    for (int32_t i = 0; i < folders.GetSize(); ++i) {
        const VnString path = folders[i] + fileName;
        if (VnFileSystem::FileExists(path)) return path;
    }
    ProductInformation* product = LoadedProductInformation();
    const VnString address = product ? product->GetDownloadAddress(downloadNumber) : VnString();
    if (address.IsEmpty() || folders.GetSize() == 0) {
        EngineLog(kSource, VnString::Format(u"%s: no set-up program and nothing to download it from or into",
                                            fileName));
        return VnString();
    }
    const VnString target = folders[0] + fileName;
    AllowCancel(true);
    page_.SetStatusText(VnString::Format(DependencyText(u"Downloading %s from server...").View(), displayName));
    const bool downloaded = DownloadFile(address, target);
    AllowCancel(false);  // only while the download runs
    return downloaded ? target : VnString();
}

bool CInstallDependencies::RunDependencySetup(const VnString& displayName, const VnString& fileName,
                                              const VnString& arguments, int downloadNumber) {
    const VnString path = GetSetupFile(displayName, fileName, downloadNumber);
    if (path.IsEmpty()) return false;
    AllowCancel(false);
    page_.SetProgressRange(0, 100);
    page_.SetProgressPosition(0);
    page_.SetStatusText(VnString::Format(DependencyText(u"Installing %s...").View(), displayName));
    page_.SetProgressPosition(kProgressWhileRunning);
    RunProgramOptions options;
    options.pumpMessages = PumpMessages;
    // "/silent /install" is two switches; RunProgram would quote a single one holding a space.
    VnStringArray argumentList;
    for (int32_t start = 0; start < arguments.GetLength();) {
        int32_t end = arguments.Find(u' ', start);
        if (end < 0) end = arguments.GetLength();
        if (end > start) argumentList.Add(arguments.Mid(start, end - start));
        start = end + 1;
    }
    const bool ran = RunProgram(path, argumentList, options);
    EngineLog(kSource, VnString::Format(u"%s %s: %s", path, arguments, ran ? u"ran" : u"did not start"));
    return ran;
}
