#include "FolderTreeCopy.h"

#include "EngineLog.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"CopyFolderTree";
// Deeper than any real data folder; stops a folder that contains itself
// through a junction from recursing without end.
constexpr int kMaxDepth = 64;

void CopyBelow(const VnString& source, const VnString& destination, int depth, FolderTreeCopyResult& result) {
    IVnFiles& files = VnPlatform().Files();
    if (depth > kMaxDepth || !VnFileSystem::MakeDirectoryTree(destination)) {
        EngineLog(kSource, VnString::Format(u"Cannot create folder: %s", destination));
        ++result.failures;
        return;
    }
    VnCoreArray<VnFindData> entries;
    const uint32_t listed = files.FindFiles(VnFileSystem::LongPathForm(source + u"*"), entries);
    if (listed != vnwin::kErrorSuccess && listed != vnwin::kErrorFileNotFound) {
        EngineLog(kSource, VnString::Format(u"Error %d listing folder: %s", listed, source));
        ++result.failures;
        return;
    }
    for (const VnFindData& entry : entries) {
        if (entry.attributes & vnwin::kFileAttributeDirectory) {
            CopyBelow(source + entry.name + u"\\", destination + entry.name + u"\\", depth + 1, result);
            continue;
        }
        const uint32_t error = files.CopyFile(VnFileSystem::LongPathForm(source + entry.name),
                                              VnFileSystem::LongPathForm(destination + entry.name), false);
        if (error == vnwin::kErrorSuccess) {
            ++result.filesCopied;
        } else {
            EngineLog(kSource, VnString::Format(u"Error %d copying file: %s", error, source + entry.name));
            ++result.failures;
        }
    }
}

}  // namespace

FolderTreeCopyResult CopyFolderTree(const VnString& source, const VnString& destination) {
    FolderTreeCopyResult result;
    const VnString from = NormaliseFolder(source);
    if (from.IsEmpty() || !VnFileSystem::FolderExists(from)) return result;
    CopyBelow(from, NormaliseFolder(destination), 0, result);
    return result;
}

bool CopyDataSubfolder(const VnString& sourceRoot, const VnString& destinationRoot, const VnString& name) {
    const VnString source = sourceRoot + name;
    if (sourceRoot.IsEmpty() || !VnFileSystem::FolderExists(source)) return false;
    return CopyFolderTree(source, destinationRoot + name).failures == 0;
}
