#include "SimInstallerRun.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "InstallApp.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "ProcessorFeatures.h"
#include "DependencySetups.h"
#include "VnReaderExports.h"
#include "VnToolsSimModule.h"
#if VN_SIM_RUNNER_COMPANIONS
#include "VnCompanionsSim.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

// Creates the folder and its missing parents; true when it exists afterwards.
bool MakeFolders(IVnFiles& files, const VnString& folder) {
    VnString path;
    for (const VnString& part : VnStringArray::Split(folder.View(), u"\\")) {
        if (part.IsEmpty()) continue;
        path += part + u"\\";
        if (path.GetLength() > 3) files.CreateDirectory(path);  // "C:\" needs none
    }
    uint32_t attributes = files.GetFileAttributes(folder);
    return attributes != vnwin::kInvalidFileAttributes && (attributes & vnwin::kFileAttributeDirectory);
}

bool ReadHostFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

}  // namespace

VnString DefaultSetupFolder(VnSimPlatform& machine) {
    VnString profile = machine.Facts().SpecialFolder(VnSimFacts::kCsidlProfile);
    if (profile.IsEmpty()) profile = u"C:\\Users\\" + machine.Facts().userName;
    return profile + u"\\Downloads\\Tunaro Setup\\";
}

bool CopySetupIntoMachine(VnSimPlatform& machine, const std::string& hostSetupFolder, const VnString& windowsFolder,
                          int& filesCopied, std::string& error) {
    filesCopied = 0;
    std::error_code status;
    if (!fs::is_directory(hostSetupFolder, status)) {
        error = "the set-up folder " + hostSetupFolder + " is not a readable folder";
        return false;
    }
    IVnFiles& files = machine.Files();
    const VnString target = windowsFolder.EndsWith(u"\\") ? windowsFolder : windowsFolder + u"\\";
    if (!MakeFolders(files, target)) {
        error = "cannot create " + target.ToUtf8() + " in the machine";
        return false;
    }
    for (fs::recursive_directory_iterator it(hostSetupFolder, status), end; it != end; it.increment(status)) {
        if (status) break;
        VnString relative = VnString::FromUtf8(it->path().lexically_relative(hostSetupFolder).generic_string());
        relative.Replace(u'/', u'\\');
        const VnString path = target + relative;
        if (it->is_directory(status)) {
            if (!MakeFolders(files, path)) {
                error = "cannot create " + path.ToUtf8() + " in the machine";
                return false;
            }
            continue;
        }
        std::string bytes;
        if (!ReadHostFile(it->path(), bytes)) {
            error = "cannot read " + it->path().string();
            return false;
        }
        if (uint32_t written = files.WriteFile(path, bytes)) {
            error = "cannot write " + path.ToUtf8() + " in the machine (error " + std::to_string(written) + ")";
            return false;
        }
        ++filesCopied;
    }
    if (status) {
        error = "cannot list " + hostSetupFolder + ": " + status.message();
        return false;
    }
    return true;
}

void RegisterStandIns() {
    VnRegisterToolsWithSim();
    VnRegisterReaderWithSim();
    VnRegisterDependencySetupsWithSim();
#if VN_SIM_RUNNER_COMPANIONS
    VnRegisterCompanionsWithSim();
#endif
}

int RunInstallerInMachine(VnSimPlatform& machine, const VnString& installerPath, const VnString& commandLine) {
    IVnPlatform* previous = VnHasPlatform() ? &VnPlatform() : nullptr;
    machine.Facts().installerPath = installerPath;
    VnSetPlatform(&machine);
    RegisterStandIns();
    ProcessInformationBlock::Close();
    ForgetOperatingSystem();
    ProcessorFeatures::Forget();

    int exitCode = InstallerEntry(0, 0, commandLine.View(), kShowNormal);

    ProcessInformationBlock::Close();
    std::string ignored;
    machine.Flush(ignored);
    VnSetPlatform(previous);
    return exitCode;
}
