// CopyFileChecked: the rules for one payload file, in their order.
#include "FileCopy.h"

#include "CopyRegistrationSeam.h"
#include "EngineLog.h"
#include "FileSystemRedirection.h"
#include "FontTable.h"
#include "InstallOptions.h"
#include "InstallRecorder.h"
#include "RunProgram.h"
#include "RuntimeFunctionTables.h"
#include "VersionInfo.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"CopyFileChecked";
constexpr char16_t kServerProgram[] = u"OrvanServer.exe";
constexpr char16_t kShellExtension[] = u"VnShellExt.dll";
constexpr char16_t kAsioDriver64[] = u"\\VnASIODriver64.dll";

enum class CopyOutcome { kCopied, kSkipped, kDeferred, kStaged, kFailed };

// The extension tests look for the text anywhere in the path, with case: a
// file inside a folder named "x.dll" counts.
bool HasVersionedExtension(const VnString& path) {
    return path.Contains(u".dll") || path.Contains(u".exe") || path.Contains(u".ocx") || path.Contains(u".ax");
}

bool IsRegistrable(const VnString& path) {
    return path.Contains(u".dll") || path.Contains(u".ocx") || path.Contains(u".ax");
}

bool Is64BitFile(const VnString& destination) {
    return destination.StartsWithNoCase((InstallOptions::Get().DestinationFolder + u"x64\\").View()) ||
           destination.EndsWithNoCase(kAsioDriver64);
}

// A running server holds its program file: ask it to stop and wait for it.
void StopServerInUse(const VnString& destination) {
    if (!destination.EndsWithNoCase(kServerProgram) || !VnFileSystem::FileExists(destination)) return;
    RunProgramOptions options;
    options.timeLimitMilliseconds = 0;
    RunProgram(destination, VnStringArray{VN_LIT(u"stop")}, options);
}

// Mode 0 copies a versioned file only over an older one. A file without a
// version counts as 0, so an unversioned source never replaces anything and a
// missing destination takes any versioned source. Without Version.dll there
// is no test at all.
bool ShouldCopy(int mode, const VnString& source, const VnString& destination, bool destinationExists) {
    if (mode != kCopyCheckVersion || !HasVersionedExtension(source)) return true;
    CVersionInfo info;
    info.Init();
    if (!info.HasVersionFunctions()) return true;
    uint64_t sourceVersion = 0, destinationVersion = 0;
    info.Load(source);
    info.GetPackedVersion(sourceVersion);
    if (destinationExists) {
        info.Load(destination);
        info.GetPackedVersion(destinationVersion);
    }
    return sourceVersion > destinationVersion;
}

const char16_t* DescribeCopyError(uint32_t error) {
    switch (error) {
    case vnwin::kErrorDiskFull:
    case vnwin::kErrorHandleDiskFull: return u"the disk is full";
    case vnwin::kErrorAccessDenied: return u"access denied";
    case vnwin::kErrorSharingViolation: return u"in use by another program";
    case vnwin::kErrorPathNotFound: return u"its folder is missing";
    default: return u"the copy failed";
    }
}

// Never deletes the file before its replacement is safely in place: the new
// copy is written beside it first (where a full disk or a refused folder
// shows without harm), then swapped in. A file in use keeps the new copy
// beside it for the restart, or for finalisation when the restart cannot be
// asked to replace it.
CopyOutcome CopyOrDefer(int mode, const VnString& source, const VnString& destination, uint32_t destinationAttributes) {
    IVnFiles& files = VnPlatform().Files();
    const VnString target = VnFileSystem::LongPathForm(destination);
    if (destinationAttributes == vnwin::kInvalidFileAttributes) {
        // Nothing there to lose: the copy goes straight to its place (a failed
        // copy leaves nothing behind). Should the file have appeared meanwhile,
        // the safe way below still applies.
        const uint32_t error = files.CopyFile(VnFileSystem::LongPathForm(source), target, true);
        if (error == vnwin::kErrorSuccess) {
            files.SetFileAttributes(target, vnwin::kFileAttributeNormal);
            if (mode & kCopyFont) AddToFontTable(destination);
            return CopyOutcome::kCopied;
        }
        if (error != vnwin::kErrorFileExists) {
            NoteFileNotInstalled(destination, VnString::Format(u"error %d copying it (%s)", error,
                                                               DescribeCopyError(error)));
            return CopyOutcome::kFailed;
        }
    }
    constexpr uint32_t kRefusingAttributes =
        vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden | vnwin::kFileAttributeSystem;
    if (destinationAttributes == vnwin::kInvalidFileAttributes || (destinationAttributes & kRefusingAttributes))
        files.SetFileAttributes(target, vnwin::kFileAttributeNormal);
    if (const uint32_t error = WriteStagedCopy(source, destination)) {
        NoteFileNotInstalled(destination, VnString::Format(u"error %d writing its new copy beside it (%s)", error,
                                                           DescribeCopyError(error)));
        return CopyOutcome::kFailed;
    }
    if (VnFileSystem::SafeReplaceFile(StagedCopyPath(destination), destination)) {
        files.SetFileAttributes(target, vnwin::kFileAttributeNormal);
        if (mode & kCopyFont) AddToFontTable(destination);
        return CopyOutcome::kCopied;
    }
    if (!ScheduleStagedReplacement(destination)) {
        EngineLog(kSource, VnString::Format(u"Staged for finalisation (in use, and its replacement at the restart "
                                            u"could not be scheduled): %s",
                                            destination));
        ListStagedCopyForFinalize(destination);
        return CopyOutcome::kStaged;
    }
    EngineLog(kSource, VnString::Format(u"Replaced at the next restart (in use): %s", RealPathOf(destination)));
    InstallOptions& options = InstallOptions::Get();
    if (source.EndsWithNoCase(kShellExtension))
        options.ShellExtensionReady = false;  // registered after the restart, not in this run
    else if (destination.ContainsNoCase(u"Windows\\Fonts"))
        options.RestartRequired = true;  // the font is usable only after the restart
    return CopyOutcome::kDeferred;
}

void Register(const VnString& source, const VnString& destination, CopyOutcome outcome, bool is64Bit,
              VnStringArray* registerList) {
    if (outcome == CopyOutcome::kFailed || !IsRegistrable(source) || source.EndsWithNoCase(kShellExtension)) return;
    if (outcome == CopyOutcome::kDeferred) {
        InstallOptions::Get().PendingOperations.Add(
            VnString::Format(u"%s|%s", u"_REGISTERFILE", RealPathOf(destination)));
        RecordInstalledComponent(RealPathOf(destination), kComponentPackageInstaller);  // registered after the restart
    }
    else if (is64Bit)
        RegisterCopied64BitComponent(destination);
    else if (registerList)
        registerList->Add(destination);
    else
        RegisterCopiedComponent(destination);
}

}  // namespace

bool CopyFileChecked(int mode, const VnString& source, const VnString& destination, VnStringArray* registerList) {
    return CopyFileIntoFolder(mode, source, destination, registerList,
                              VnFileSystem::MakeDirectoryTree(FolderOf(destination)) ? DestinationFolder::kReady
                                                                                     : DestinationFolder::kMissing);
}

bool CopyFileIntoFolder(int mode, const VnString& source, const VnString& destination, VnStringArray* registerList,
                        DestinationFolder folder) {
    StopServerInUse(destination);
    const bool is64Bit = Is64BitFile(destination);
    if (is64Bit && !RunsUnderWow64()) return false;
    if (IsExcludedCoreLibrary(source)) return true;  // only InstallCoreLibraries puts them in place
    if (folder == DestinationFolder::kMissing) {
        // Not a file in use: nothing at the restart could put it in a folder that does not exist.
        NoteFileNotInstalled(destination, VnString::Format(u"its folder %s could not be created", FolderOf(destination)));
        return true;
    }

    // The destination's state is read once and passed on; a folder made just
    // now holds nothing (should a file appear meanwhile, the copy that may
    // not overwrite sees it).
    const uint32_t destinationAttributes =
        folder == DestinationFolder::kMadeNow
            ? vnwin::kInvalidFileAttributes
            : VnPlatform().Files().GetFileAttributes(VnFileSystem::LongPathForm(destination));
    const CopyOutcome outcome =
        ShouldCopy(mode, source, destination, destinationAttributes != vnwin::kInvalidFileAttributes)
            ? CopyOrDefer(mode, source, destination, destinationAttributes)
            : CopyOutcome::kSkipped;
    Register(source, destination, outcome, is64Bit, registerList);
    return true;
}
