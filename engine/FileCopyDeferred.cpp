// What happens to a file that cannot be put in place now. Its new copy is
// written beside it, on the same volume and in the folder the file really
// belongs in ("<name>.~vnstaged": one per destination, so two payload files
// of the same name never share one). From there MoveFileExW replaces the
// file at the next restart, a rename that cannot fail for want of space or
// because the volumes differ; when that cannot be scheduled, the same copy is
// listed for finalisation after the restart.
#include "EngineLog.h"
#include "FileCopy.h"
#include "FileListing.h"
#include "FileSystemRedirection.h"
#include "InstallOptions.h"
#include "InstallRunLog.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"CopyFileChecked";

uint32_t CopyOverwriting(const VnString& from, const VnString& to) {
    return VnPlatform().Files().CopyFile(VnFileSystem::LongPathForm(from), VnFileSystem::LongPathForm(to), false);
}

// The path with its extension replaced by ".zip" (added when it has none).
VnString CompanionArchive(const VnString& path) {
    const int32_t dot = path.ReverseFind(u'.');
    return (dot > path.ReverseFind(u'\\') ? path.Left(dot) : path) + u".zip";
}

// Everything below `from` into `to`, keeping the sub-folders; the staging
// folder itself is passed over in case it lies below `from`.
void CopyTreeInto(const VnString& from, const VnString& to) {
    if (from.IsEmpty()) return;
    VnCoreArray<VnListedFile> files;
    ListFilesBelow(from, files);
    for (const VnListedFile& file : files) {
        if (file.path.StartsWithNoCase(to.View())) continue;
        const VnString target = to + file.path.Mid(from.GetLength());
        VnFileSystem::MakeDirectoryTree(FolderOf(target));
        CopyOverwriting(file.path, target);
    }
}

bool MoveFileExAvailable() {
    VnLibraryHolder kernel32;
    return VnLoadLibrary(u"kernel32.dll", 0, kernel32) && kernel32.Function("MoveFileExW");
}

}  // namespace

VnString StagingFolder() { return InstallOptions::Get().DestinationFolder + u"Setup\\"; }

VnString StagedCopyPath(const VnString& destination) { return RealPathOf(destination) + kStagedCopySuffix; }

uint32_t WriteStagedCopy(const VnString& source, const VnString& destination) {
    const VnString staged = StagedCopyPath(destination);
    uint32_t error = CopyOverwriting(source, staged);
    if (error != vnwin::kErrorSuccess && VnFileSystem::FileExists(staged)) {
        VnFileSystem::DeleteFile(staged);  // a leftover of an interrupted run, perhaps read-only
        error = CopyOverwriting(source, staged);
    }
    if (error != vnwin::kErrorSuccess) {
        VnFileSystem::DeleteFile(staged);  // never leave a partial copy behind
        return error;
    }
    VnPlatform().Files().SetFileAttributes(VnFileSystem::LongPathForm(staged), vnwin::kFileAttributeNormal);
    return vnwin::kErrorSuccess;
}

bool ScheduleStagedReplacement(const VnString& destination) {
    if (!MoveFileExAvailable()) return false;
    const VnString target = RealPathOf(destination);
    // The second pass of fonts meets the same file: once is enough.
    for (const VnString& waiting : ReplacementsWaitingForRestart())
        if (waiting.EqualsNoCase(target)) return true;
    return VnPlatform().Files().MoveFileEx(VnFileSystem::LongPathForm(StagedCopyPath(destination)),
                                           VnFileSystem::LongPathForm(target),
                                           vnwin::kMoveFileReplaceExisting | vnwin::kMoveFileDelayUntilReboot) ==
           vnwin::kErrorSuccess;
}

void ListStagedCopyForFinalize(const VnString& destination) {
    // Finalisation runs as a 32-bit program after the restart: name the files as it will reach them.
    const VnString entry = VnString::Format(u"%s|%s", PathForFinaliser(destination) + kStagedCopySuffix,
                                            PathForFinaliser(destination));
    VnStringArray& list = InstallOptions::Get().FinalizeInstallList;
    for (const VnString& listed : list)
        if (listed.EqualsNoCase(entry)) return;
    list.Add(entry);
}

bool ReplaceOnReboot(const VnString& source, const VnString& destination) {
    if (!MoveFileExAvailable() || WriteStagedCopy(source, destination) != vnwin::kErrorSuccess) return false;
    if (ScheduleStagedReplacement(destination)) return true;
    VnFileSystem::DeleteFile(StagedCopyPath(destination));
    return false;
}

void StageForFinalize(const VnString& source, const VnString& destination, bool wholeFolder) {
    if (!destination.IsEmpty()) {
        const uint32_t error = WriteStagedCopy(source, destination);
        if (error == vnwin::kErrorSuccess)
            ListStagedCopyForFinalize(destination);
        else
            EngineLog(kSource, VnString::Format(u"Error %d staging %s for finalisation", error, destination));
        return;
    }
    // A package staged on its own, with what it needs beside it.
    const VnString staging = StagingFolder();
    VnFileSystem::MakeDirectoryTree(staging);
    const VnString staged = staging + FileNameOf(source);
    if (CopyOverwriting(source, staged) == vnwin::kErrorSuccess)
        InstallOptions::Get().FinalizeInstallList.Add(VnString::Format(u"%s|", staged));
    if (wholeFolder) {
        CopyTreeInto(FolderOf(source), staging);
    } else {
        const VnString archive = CompanionArchive(source);
        CopyOverwriting(archive, staging + FileNameOf(archive));
    }
}
