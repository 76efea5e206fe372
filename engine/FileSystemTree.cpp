// Creating and deleting files and folder trees, and the safe replace.
#include "EngineLog.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kMakeDirectoryTreeSource[] = u"VnFileSystem::MakeDirectoryTree";
constexpr char16_t kDeleteFileSource[] = u"VnFileSystem::DeleteFile";
constexpr char16_t kSafeReplaceSource[] = u"VnFileSystem::SafeReplaceFile";

// Characters of the root that cannot be created: "C:\", "\\?\C:\",
// "\\server\share\", "\\?\UNC\server\share\"; 0 for a relative path.
int32_t RootLength(const VnString& path) {
    int32_t start = 0;
    bool unc = false;
    if (path.StartsWith(u"\\\\?\\UNC\\")) {
        start = 8, unc = true;
    } else if (path.StartsWith(u"\\\\?\\")) {
        start = 4;
    } else if (path.StartsWith(u"\\\\")) {
        start = 2, unc = true;
    }
    if (!unc) return path.GetLength() >= start + 3 && path[start + 1] == u':' ? start + 3 : start;
    int32_t server = path.Find(u'\\', start);
    int32_t share = server < 0 ? -1 : path.Find(u'\\', server + 1);
    return share < 0 ? path.GetLength() : share + 1;
}

VnString WithoutTrailingBackslash(const VnString& folder) {
    return folder.EndsWith(u"\\") ? folder.Left(folder.GetLength() - 1) : folder;
}

}  // namespace

namespace VnFileSystem {

bool MakeDirectoryTree(const VnString& folder, bool* madeNow) {
    if (madeNow) *madeNow = false;
    VnString target = NormaliseFolder(folder);
    if (!target.IsEmpty() && FolderExists(target)) return true;
    if (!target.IsEmpty()) {
        VnString path = LongPathForm(target);
        if (!path.StartsWith(u"\\\\?\\")) path.Replace(u'/', u'\\');
        // Each folder from the root down; the ones that exist already refuse,
        // which is fine: only the final test counts.
        IVnFiles& files = VnPlatform().Files();
        uint32_t lastError = vnwin::kErrorPathNotFound;
        for (int32_t slash = path.Find(u'\\', RootLength(path)); slash >= 0; slash = path.Find(u'\\', slash + 1))
            lastError = files.CreateDirectory(path.Left(slash));
        if (FolderExists(target)) {
            if (madeNow) *madeNow = lastError == vnwin::kErrorSuccess;
            return true;
        }
    }
    EngineLog(kMakeDirectoryTreeSource, VnString::Format(u"Failed! Path=%s", folder));
    return false;
}

bool DeleteFile(const VnString& path) {
    if (path.IsEmpty()) return true;
    IVnFiles& files = VnPlatform().Files();
    const VnString target = LongPathForm(path);
    files.SetFileAttributes(target, vnwin::kFileAttributeNormal);
    const uint32_t error = files.DeleteFile(target);
    if (error == vnwin::kErrorSuccess || !FileExists(path)) return true;
    EngineLog(kDeleteFileSource, VnString::Format(u"Error %d deleting existing file: %s", error, path));
    return false;
}

bool SafeReplaceFile(const VnString& newFile, const VnString& original) {
    IVnFiles& files = VnPlatform().Files();
    const VnString aside = SetAsideName(original);
    const bool hadOriginal = FileExists(original);
    if (hadOriginal) {
        DeleteFile(aside);  // a leftover of an interrupted run would block the rename
        if (files.MoveFile(LongPathForm(original), LongPathForm(aside)) != vnwin::kErrorSuccess) {
            EngineLog(kSafeReplaceSource, VN_LIT(u"Error renaming original file"));
            return false;
        }
    }
    if (files.MoveFile(LongPathForm(newFile), LongPathForm(original)) != vnwin::kErrorSuccess) {
        EngineLog(kSafeReplaceSource, VN_LIT(u"Error moving new file into place of original name"));
        if (hadOriginal) files.MoveFile(LongPathForm(aside), LongPathForm(original));
        return false;
    }
    // A library Windows has mapped can be renamed but not deleted: it goes at the restart.
    if (hadOriginal && !DeleteFile(aside) &&
        files.MoveFileEx(LongPathForm(aside), VnString(), vnwin::kMoveFileDelayUntilReboot) == vnwin::kErrorSuccess)
        EngineLog(kSafeReplaceSource, VnString::Format(u"Set-aside original deleted at the next restart: %s", aside));
    return true;
}

}  // namespace VnFileSystem

namespace {

// A link (symbolic link, junction) is removed itself; what it points to
// belongs to someone else and is never entered.
bool RemoveLink(const VnString& path, uint32_t attributes) {
    IVnFiles& files = VnPlatform().Files();
    if (!(attributes & vnwin::kFileAttributeDirectory)) return VnFileSystem::DeleteFile(path);
    files.SetFileAttributes(path, attributes & ~vnwin::kFileAttributeReadOnly);
    return files.RemoveDirectory(path) == vnwin::kErrorSuccess;
}

}  // namespace

bool DeleteDirectoryTree(const VnString& folder) {
    VnString listed = NormaliseFolder(folder);
    if (listed.IsEmpty()) return false;  // never the current folder by accident
    IVnFiles& files = VnPlatform().Files();
    const VnString self = WithoutTrailingBackslash(listed);
    const uint32_t ownAttributes = files.GetFileAttributes(VnFileSystem::LongPathForm(self));
    if (ownAttributes != vnwin::kInvalidFileAttributes && (ownAttributes & vnwin::kFileAttributeReparsePoint))
        return RemoveLink(VnFileSystem::LongPathForm(self), ownAttributes);

    // A folder too deep for the plain name is listed under its "\\?\" name,
    // and everything below it is then reached under that name too.
    VnCoreArray<VnFindData> entries;
    if (files.FindFiles(listed + u"*", entries) != vnwin::kErrorSuccess) {
        const VnString extended = VnFileSystem::ExtendedPathForm(listed);
        if (extended == listed || files.FindFiles(extended + u"*", entries) != vnwin::kErrorSuccess) {
            if (!VnFileSystem::FolderExists(listed)) return true;  // nothing to delete
        } else {
            listed = extended;
        }
    }
    for (const VnFindData& entry : entries) {
        if (entry.attributes & vnwin::kFileAttributeReparsePoint)
            RemoveLink(listed + entry.name, entry.attributes);
        else if (entry.attributes & vnwin::kFileAttributeDirectory)
            DeleteDirectoryTree(listed + entry.name + u"\\");
        else
            VnFileSystem::DeleteFile(listed + entry.name);
    }

    // A read-only folder refuses RemoveDirectoryW, as a read-only file refuses deletion.
    const VnString bare = WithoutTrailingBackslash(listed);
    files.SetFileAttributes(bare, vnwin::kFileAttributeNormal);
    if (files.RemoveDirectory(bare) == vnwin::kErrorSuccess) return true;
    const VnString extended = VnFileSystem::ExtendedPathForm(bare);
    if (extended != bare && files.RemoveDirectory(extended) == vnwin::kErrorSuccess) return true;
    return !VnFileSystem::FolderExists(listed);
}
