// What happens to a file that cannot be copied now: replaced at the next
// restart through MoveFileExW, or staged for finalisation.
#include "FileCopy.h"
#include "FileListing.h"
#include "InstallOptions.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"
#include "VnPlatform.h"

namespace {

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

}  // namespace

VnString StagingFolder() { return InstallOptions::Get().DestinationFolder + u"Setup\\"; }

bool ReplaceOnReboot(const VnString& source, const VnString& destination) {
    VnLibraryHolder kernel32;
    if (!VnLoadLibrary(u"kernel32.dll", 0, kernel32) || !kernel32.Function("MoveFileExW")) return false;
    const VnString staging = StagingFolder();
    VnFileSystem::MakeDirectoryTree(staging);
    const VnString staged = staging + FileNameOf(source);
    if (CopyOverwriting(source, staged) != vnwin::kErrorSuccess) return false;
    return VnPlatform().Files().MoveFileEx(VnFileSystem::LongPathForm(staged),
                                           VnFileSystem::LongPathForm(destination),
                                           vnwin::kMoveFileReplaceExisting | vnwin::kMoveFileDelayUntilReboot) ==
           vnwin::kErrorSuccess;
}

void StageForFinalize(const VnString& source, const VnString& destination, bool wholeFolder) {
    const VnString staging = StagingFolder();
    VnFileSystem::MakeDirectoryTree(staging);
    const VnString staged = staging + FileNameOf(source);
    if (CopyOverwriting(source, staged) == vnwin::kErrorSuccess)
        InstallOptions::Get().FinalizeInstallList.Add(VnString::Format(u"%s|%s", staged, destination));
    if (!destination.IsEmpty()) return;
    // A package staged on its own: what it needs beside it comes along.
    if (wholeFolder) {
        CopyTreeInto(FolderOf(source), staging);
    } else {
        const VnString archive = CompanionArchive(source);
        CopyOverwriting(archive, staging + FileNameOf(archive));
    }
}
