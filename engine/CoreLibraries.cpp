#include "CoreLibraries.h"

#include "FileCopy.h"
#include "InstallOptions.h"
#include "InstallationRecordWriter.h"
#include "RuntimeFunctionTables.h"
#include "ToolsLink.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

VnString Translated(const char16_t* literal) { return VnDllString(literal).Get(); }

// Copies the libraries of one pass; false with the destination that failed.
bool CopyPass(const VnString& sourceFolder, const VnString& targetFolder, VnString& failedDestination) {
    IVnFiles& files = VnPlatform().Files();
    VnFileSystem::MakeDirectoryTree(targetFolder);
    for (int n = 0; n < kCoreLibraryCount; ++n) {
        const VnString source = sourceFolder + CoreLibraryName(n);
        if (!VnFileSystem::FileExists(source)) continue;
        const VnString destination = targetFolder + CoreLibraryName(n);
        files.SetFileAttributes(destination, vnwin::kFileAttributeNormal);
        // Beside it first, then swapped in: a failed copy leaves the old library whole.
        if (WriteStagedCopy(source, destination) != vnwin::kErrorSuccess ||
            !VnFileSystem::SafeReplaceFile(StagedCopyPath(destination), destination)) {
            VnFileSystem::DeleteFile(StagedCopyPath(destination));
            failedDestination = destination;
            return false;
        }
        files.SetFileAttributes(destination, vnwin::kFileAttributeNormal);
    }
    return true;
}

bool CopyCoreLibraries(VnString& failedDestination) {
    const VnString payload = GetInstallerFolder() + u"Playmoor\\";
    const VnString destination = InstallOptions::Get().DestinationFolder;
    if (!CopyPass(payload, destination, failedDestination)) return false;
    // The 64-bit copies only where 64-bit programs can load them.
    return !RunsUnderWow64() || CopyPass(payload + u"x64\\", destination + u"x64\\", failedDestination);
}

// True for Retry. Without the tools library there is nobody to ask: Cancel.
bool AskRetryAfterFailure(const VnString& failedDestination) {
    ToolsInterface* tools = VnTools();
    if (!tools) return false;
    const VnString text =
        Translated(u"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n") +
        VnString::Format(Translated(u"Please ensure that the file '%s' is not in use.").View(), failedDestination);
    return tools->ShowMessageWithButtons(text, Translated(u"Failure Copying System File"), Translated(u"Retry"),
                                         Translated(u"Cancel"), VnString()) == 0;
}

void ShowCriticalError() {
    ToolsInterface* tools = VnTools();
    if (!tools) return;
    tools->ShowMessage(Translated(u"Install Wizard encountered a critical error and must close.\r\n\r\n") +
                           Translated(u"It is recommended that you reboot your computer and install again.\r\n\r\n") +
                           Translated(u"If this error persists, please uninstall and then install again."),
                       Translated(u"Install Error"));
}

}  // namespace

bool InstallCoreLibraries() {
    for (;;) {
        VnString failedDestination;
        if (CopyCoreLibraries(failedDestination)) {
            WriteInstallationRecord();
            return true;
        }
        if (!AskRetryAfterFailure(failedDestination)) {
            InstallOptions::Get().EndedOnCriticalError = true;
            ShowCriticalError();
            return false;
        }
    }
}
