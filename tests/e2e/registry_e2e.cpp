// registry_e2e.exe: the installer's registry records written on real Windows
// (or Wine) by the installer's own code, for scripts/wine-registry-e2e.sh.
//
// Placed in a copy of the set-up folder, it loads "Playmoor\VnTools.dll" as
// start-up does, searches for earlier installations and the installation
// record, then writes the installation record and the uninstall entry for
// the destination given, and prints what the search found:
//
//   registry_e2e.exe <destination folder> [/DistributorID <id>] [/Portable]
//
// Output: one line "found SameVersionInstalled=<0|1> OtherVersionInstalled=<0|1>
// UninstallKeyName=<name> InstalledVersionCurrent=<0|1>", then "written".
// Exit code 0, or 2 when the tools library could not be loaded.
#include "VnWin32Platform.h"

#include <cstdio>

#include "VnFileSystem.h"
#include "InstallOptions.h"
#include "InstallationRecord.h"
#include "InstallationRecordWriter.h"
#include "InstallationSearch.h"
#include "ProcessInformationBlock.h"
#include "ToolsLink.h"
#include "UninstallEntry.h"

namespace {

ToolsInterface* LoadTools(const VnString& moduleFolder) {
    IVnProcesses& processes = VnPlatform().Processes();
    uint32_t error = 0;
    VnHandle module = processes.LoadLibrary(moduleFolder + u"VnTools.dll", 0x8, error);
    if (!module) return nullptr;
    auto entry = reinterpret_cast<GetVnToolsDLLFunction>(processes.GetProcAddress(module, kGetVnToolsDLLExport));
    return entry ? entry(kToolsInterfaceVersion) : nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);

    InstallOptions& options = InstallOptions::Get();
    options.AllowDowngrade = false;  // so that the version test is asked about the files
    for (int i = 1; i < argc; ++i) {
        const VnString argument = VnString::FromWide(argv[i]);
        if (argument.EqualsNoCase(u"/Portable")) {
            options.PortableSetup = true;
        } else if (argument.EqualsNoCase(u"/DistributorID") && i + 1 < argc) {
            options.DistributorID = VnString::FromWide(argv[++i]);
        } else {
            options.DestinationFolder = NormaliseFolder(argument);
        }
    }

    const VnString path = VnPlatform().System().GetModuleFileName();
    const VnString moduleFolder = path.Left(path.ReverseFind(u'\\') + 1) + u"Playmoor\\";
    ProcessInformationBlock& block = ProcessInformationBlock::Get();
    block.MarkAsInstaller();
    block.SetModuleFolder(moduleFolder);
    block.SetDataFolder(moduleFolder);
    ToolsInterface* tools = LoadTools(moduleFolder);
    VnString error;
    ProductInformation* product = tools ? (tools->SetProcessFolders(&block), tools->GetProductInformation(error)) : nullptr;
    if (!product) {
        std::printf("no tools library or product information in %s %s\n", moduleFolder.ToUtf8().c_str(),
                    error.ToUtf8().c_str());
        return 2;
    }
    VnSetTools(tools);

    FindInstallation(product->GetProductName(4));
    DetectExistingInstallations();
    std::printf("found SameVersionInstalled=%d OtherVersionInstalled=%d UninstallKeyName=%s InstalledVersionCurrent=%d\n",
                int(options.SameVersionInstalled), int(options.OtherVersionInstalled),
                options.UninstallKeyName.ToUtf8().c_str(), int(IsInstalledVersionCurrent()));

    WriteInstallationRecord();
    WriteUninstallEntry();
    std::printf("written\n");
    std::fflush(stdout);
    VnSetTools(nullptr);
    return 0;
}
