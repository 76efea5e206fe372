// "PackageInstaller.exe", the product's package installer. What the installer
// asks of it, and what the stand-in does:
//
//   /FinishInstall              carries out the finalisation list (FinalizeList.h)
//   /RegDLL <component>         self-registers the component in-process
//   /UnRegDLL <component>       unregisters it (CompanionRegistration.h)
//   /InstallWDMDriver <setup>   records the driver as installed from that setup file
//   /RemoveWDMDriver            records the driver as removed
//   /RegFileAssociations        registers the stored choice of file types (StoredFileAssociations.h)
//   /Q /Install <package>       installs the plug-in package without questions;
//   /Install <package>          with them (CompanionPackages.h)
//   /Register <file>            opens a registration file (below)
//
// A component is a path; a relative one, and the component name
// "Shell Extensions" (the shell extension "VnShellExt.dll"), are found in the
// program's folder. The exit code is 0, or the Windows error of what failed
// (87 for an unknown switch or a missing argument).
#include <string>

#include "CompanionCommandLine.h"
#include "CompanionFiles.h"
#include "CompanionPackages.h"
#include "CompanionProduct.h"
#include "CompanionPrograms.h"
#include "CompanionRecord.h"
#include "CompanionRegistration.h"
#include "FinalizeList.h"
#include "StoredFileAssociations.h"
#include "VnPlatform.h"

namespace {
bool IsAbsolute(const VnString& path) {
    return path.StartsWith(u"\\") || (path.GetLength() >= 2 && path[1] == u':');
}

VnString ComponentPath(const VnString& component, const VnString& programFolder) {
    if (component.EqualsNoCase(u"Shell Extensions")) return programFolder + u"VnShellExt.dll";
    return IsAbsolute(component) ? component : programFolder + component;
}

uint32_t RecordDriverInstalled(const VnString& setupFile) {
    if (setupFile.IsEmpty()) return vnwin::kErrorInvalidParameter;
    if (!CompanionFileExists(setupFile)) return vnwin::kErrorFileNotFound;
    SetCompanionState(u"", VN_LIT(u"WDM Driver"), VN_LIT(u"installed"));
    SetCompanionState(u"", VN_LIT(u"WDM Driver Setup File"), setupFile);
    return 0;
}

uint32_t RecordDriverRemoved() {
    SetCompanionState(u"", VN_LIT(u"WDM Driver"), VN_LIT(u"removed"));
    DeleteCompanionState(u"", VN_LIT(u"WDM Driver Setup File"));
    return 0;
}

// A registration file (".pmr", ".rrg") opened from the shell. What it holds
// belongs to the media program and no format is given for it, so the
// stand-in reads it whole and interprets nothing: a file that cannot be read
// fails with the Windows error, an empty one with 13 (ERROR_INVALID_DATA);
// one that reads is recorded under "Registration Files" with its size.
uint32_t OpenRegistrationFile(const VnString& file) {
    constexpr uint32_t kErrorInvalidData = 13;
    if (file.IsEmpty()) return vnwin::kErrorInvalidParameter;
    std::string bytes;
    if (uint32_t error = VnPlatform().Files().ReadFile(file, bytes)) return error;
    if (bytes.empty()) return kErrorInvalidData;
    SetCompanionState(u"Registration Files", file, VnString::Format(u"opened, %u bytes", uint32_t(bytes.size())));
    return 0;
}

uint32_t FinishInstall(const VnString& programFolder) {
    VnString productKey;
    if (!FindProductSettingsKey(programFolder, productKey)) return vnwin::kErrorFileNotFound;
    return CarryOutFinalizeList(productKey, [&](const VnString& package) {
        return InstallPackageFile(package, programFolder, true);
    });
}

uint32_t Register(const VnString& component, const VnString& programFolder, bool registering) {
    if (component.IsEmpty()) return vnwin::kErrorInvalidParameter;
    return RegisterComponentInProcess(ComponentPath(component, programFolder), registering);
}
}  // namespace

uint32_t PackageInstallerMain(const CompanionStart& start) {
    CompanionCommandLine commandLine(start.parameters);
    const VnString folder = start.Folder();
    if (commandLine.Take(u"/FinishInstall")) return FinishInstall(folder);
    if (commandLine.Take(u"/RegDLL")) return Register(commandLine.Rest(), folder, true);
    if (commandLine.Take(u"/UnRegDLL")) return Register(commandLine.Rest(), folder, false);
    if (commandLine.Take(u"/InstallWDMDriver")) return RecordDriverInstalled(commandLine.Rest());
    if (commandLine.Take(u"/RemoveWDMDriver")) return RecordDriverRemoved();
    if (commandLine.Take(u"/RegFileAssociations")) return RegisterStoredFileAssociations(folder);
    if (commandLine.Take(u"/Q")) {
        if (!commandLine.Take(u"/Install")) return vnwin::kErrorInvalidParameter;
        return InstallPackageFile(commandLine.Rest(), folder, true);
    }
    if (commandLine.Take(u"/Install")) return InstallPackageFile(commandLine.Rest(), folder, false);
    if (commandLine.Take(u"/Register")) return OpenRegistrationFile(commandLine.Rest());
    return vnwin::kErrorInvalidParameter;
}
