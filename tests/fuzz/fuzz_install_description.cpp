// Any bytes as "Install.xml" beside the installer on a simulated machine:
// reading never fails, the support folder list starts with "Support" beside
// the installer and gains at most one folder that exists, and every folder
// kept ends in one backslash.
// fuzz-link: vn_platform
// fuzz-include: engine standins/vntools
#include <cstdlib>
#include <string>

// The reader and the folder functions it uses are built in.
#include "../../engine/FileSystemPaths.cpp"
#include "../../engine/FolderValue.cpp"
#include "../../app/InstallDescription.cpp"
#include "../../app/InstallOptions.cpp"
#include "../../app/XmlProblemLog.cpp"
#include "../../engine/ToolsLink.cpp"
#include "fuzz_sim_machine.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}
bool EndsInOneBackslash(const VnString& folder) {
    return folder.EndsWith(u"\\") && !folder.EndsWith(u"\\\\");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool prepared = [] {
        IVnFiles& files = FuzzSimMachine().Files();
        for (const char16_t* folder : {u"C:\\Setup", u"C:\\Setup\\Support", u"C:\\Setup\\Media", u"C:\\Extra"})
            files.CreateDirectory(folder);
        return true;
    }();
    (void)prepared;
    IVnFiles& files = VnPlatform().Files();
    files.WriteFile(u"C:\\Setup\\Install.xml", std::string(reinterpret_cast<const char*>(data), size));
    InstallOptions::ResetForTests();
    InstallOptions& options = InstallOptions::Get();
    Require(LoadInstallDescription(u"C:\\Setup\\", options));
    Require(options.SupportFolders.GetSize() >= 1 && options.SupportFolders.GetSize() <= 2);
    Require(options.SupportFolders[0] == u"C:\\Setup\\Support\\");
    for (const VnString& folder : options.SupportFolders) Require(EndsInOneBackslash(folder) && VnFileSystem::FolderExists(folder));
    Require(options.BundledMediaFolder.IsEmpty() ||
            (EndsInOneBackslash(options.BundledMediaFolder) && VnFileSystem::FolderExists(options.BundledMediaFolder)));
    return 0;
}
