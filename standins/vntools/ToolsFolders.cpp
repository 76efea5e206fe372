#include "ToolsFolders.h"

#include "VnPlatform.h"

VnString ToolsFolderPath(const VnString& folder) {
    if (folder.IsEmpty()) return folder;
    VnString result = folder;
    result.TrimRight(u'\\');
    return result + u'\\';
}

VnString ToolsFolderOf(const VnString& filePath) {
    int32_t slash = filePath.ReverseFind(u'\\');
    return slash < 0 ? VnString() : filePath.Left(slash + 1);
}

VnString ToolsFileNameOf(const VnString& path) { return path.Mid(path.ReverseFind(u'\\') + 1); }

namespace {
bool IsFolder(const VnString& path) {
    uint32_t attributes = VnPlatform().Files().GetFileAttributes(path);
    return attributes != vnwin::kInvalidFileAttributes && (attributes & vnwin::kFileAttributeDirectory);
}

// Where the folders that may be created begin: after "C:\" or "\\server\share\".
int32_t FirstCreatableComponent(const VnString& path) {
    if (path.StartsWith(u"\\\\?\\")) return 4 + FirstCreatableComponent(path.Mid(4));
    if (path.StartsWith(u"\\\\")) {
        int32_t share = path.Find(u'\\', 2);
        int32_t end = share < 0 ? -1 : path.Find(u'\\', share + 1);
        return end < 0 ? path.GetLength() : end + 1;
    }
    return path.GetLength() >= 3 && path[1] == u':' ? 3 : 0;
}
}  // namespace

bool ToolsMakeFolderTree(const VnString& folder) {
    VnString path = folder;
    path.TrimRight(u'\\');
    if (path.IsEmpty()) return false;
    if (IsFolder(path)) return true;
    IVnFiles& files = VnPlatform().Files();
    for (int32_t at = FirstCreatableComponent(path); at <= path.GetLength(); ++at) {
        if (at < path.GetLength() && path[at] != u'\\') continue;
        VnString part = path.Left(at);
        if (part.IsEmpty() || part.EndsWith(u"\\") || IsFolder(part)) continue;
        uint32_t error = files.CreateDirectory(part);
        if (error != vnwin::kErrorSuccess && error != vnwin::kErrorAlreadyExists) return false;
    }
    return IsFolder(path);
}
