// Folder and path helpers: the installer's, system and Windows folders, path
// pieces, existence, size, the long-path form and the write test.
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

// CreateDirectoryW refuses a plain path of MAX_PATH - 12 characters or more
// (room for an 8.3 name); the other calls refuse MAX_PATH. The lower limit
// serves both.
constexpr int32_t kClassicPathLimit = 248;
constexpr char16_t kExtendedPrefix[] = u"\\\\?\\";

VnString WithBackslash(const VnString& folder) { return folder.IsEmpty() ? folder : NormaliseFolder(folder); }

bool IsDrivePath(const VnString& path) {
    return path.GetLength() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
}

}  // namespace

namespace VnFileSystem {

bool FileExists(const VnString& path) {
    if (path.IsEmpty()) return false;
    uint32_t attributes = VnPlatform().Files().GetFileAttributes(LongPathForm(path));
    return attributes != vnwin::kInvalidFileAttributes && !(attributes & vnwin::kFileAttributeDirectory);
}

bool FolderExists(const VnString& path) {
    if (path.IsEmpty()) return false;
    uint32_t attributes = VnPlatform().Files().GetFileAttributes(LongPathForm(path));
    return attributes != vnwin::kInvalidFileAttributes && (attributes & vnwin::kFileAttributeDirectory);
}

VnString LongPathForm(const VnString& path) {
    return path.GetLength() < kClassicPathLimit ? path : ExtendedPathForm(path);
}

VnString ExtendedPathForm(const VnString& path) {
    if (!IsDrivePath(path)) return path;
    // "\\?\" turns off the Win32 path reading, so the path must already be
    // in its final shape: backslashes only.
    VnString extended = path;
    extended.Replace(u'/', u'\\');
    return kExtendedPrefix + extended;
}

VnString SetAsideName(const VnString& original) { return original + u".replaced.tmp"; }

}  // namespace VnFileSystem

VnString GetInstallerFolder() { return FolderOf(VnPlatform().System().GetModuleFileName()); }

VnString GetSystemFolder() { return WithBackslash(VnPlatform().System().GetSystemDirectory()); }

VnString GetWindowsFolder() { return WithBackslash(VnPlatform().System().GetWindowsDirectory()); }

VnString FolderOf(const VnString& path) { return path.Left(path.ReverseFind(u'\\') + 1); }

VnString FileNameOf(const VnString& path) { return path.Mid(path.ReverseFind(u'\\') + 1); }

uint64_t GetFileSize(const VnString& path) {
    uint64_t size = 0;
    if (path.IsEmpty() || VnPlatform().Files().GetFileSize(VnFileSystem::LongPathForm(path), size) != 0) return 0;
    return size;
}

VnString NormaliseFolder(const VnString& folder) {
    if (folder.IsEmpty() || folder == u"\\\\") return folder;
    int32_t end = folder.GetLength();
    while (end > 0 && folder[end - 1] == u'\\') --end;
    return folder.Left(end) + u'\\';
}

bool WriteTest(const VnString& folder) {
    IVnFiles& files = VnPlatform().Files();
    const VnString probe = VnString::Format(u"%sDirectory Write Test (%d).tmp", NormaliseFolder(folder),
                                            VnPlatform().System().GetCurrentThreadId());
    if (files.WriteFile(probe, std::string()) != 0) return false;
    files.DeleteFile(probe);
    return true;
}
