#include "ToolsArchiveExtractor.h"

#include <string>

#include "ToolsFolders.h"
#include "VnPlatform.h"
#include "VnZipArchive.h"

namespace {
constexpr char16_t kSource[] = u"VnArchive::Extract";
}

bool ToolsArchiveExtractor::Extract(const VnString& archive, const VnString& folder, bool keepFolderStructure) {
    ToolsLogScope scope(&log_, kSource);
    scope.SetResult(0);
    scope.Write(VnString::Format(u"Extracting \"%s\" to \"%s\"%s", archive, folder,
                                 keepFolderStructure ? u"" : u" without its folders"));
    IVnFiles& files = VnPlatform().Files();
    std::string bytes;
    uint32_t error = files.ReadFile(archive, bytes);
    if (error != vnwin::kErrorSuccess) {
        scope.Write(VnString::Format(u"Reading the archive failed, error: %u", error));
        return false;
    }
    VnZipArchive zip;
    VnString reason;
    if (!zip.Open(bytes, reason)) {
        scope.Write(VnString::Format(u"Not extracted: %s", reason));
        return false;
    }

    // Every target is decided, and every path checked, before the first write.
    const VnString target = ToolsFolderPath(folder);
    VnStringArray paths;
    uint64_t declared = 0;
    for (const VnZipEntry& entry : zip.Entries()) {
        declared += entry.size;
        if (entry.size > VnZipArchive::kDefaultMaxEntrySize || declared > kMaxExtractedBytes) {
            scope.Write(VnString::Format(u"Refused entry \"%s\": the archive would unpack to more than %u MB",
                                         entry.name, uint32_t(kMaxExtractedBytes >> 20)));
            return false;
        }
        VnString relative;
        if (!VnZipArchive::RelativePathOf(entry.name, relative) || (relative.IsEmpty() && !entry.IsFolder())) {
            scope.Write(VnString::Format(u"Refused entry \"%s\": its path leaves the target folder or names no file",
                                         entry.name));
            return false;
        }
        paths.Add(relative);
    }
    if (target.IsEmpty() || !ToolsMakeFolderTree(target)) {
        scope.Write(VnString::Format(u"Creating the folder \"%s\" failed", target));
        return false;
    }

    int32_t written = 0;
    for (int32_t i = 0; i < zip.Entries().GetSize(); ++i) {
        const VnZipEntry& entry = zip.Entries()[i];
        if (entry.IsFolder()) {
            if (keepFolderStructure && !paths[i].IsEmpty() && !ToolsMakeFolderTree(target + paths[i])) {
                scope.Write(VnString::Format(u"Creating the folder \"%s\" failed", target + paths[i]));
                return false;
            }
            continue;
        }
        std::string data;
        if (!zip.ReadEntry(i, data, reason)) {
            scope.Write(VnString::Format(u"Not extracted: %s", reason));
            return false;
        }
        VnString path = target + (keepFolderStructure ? paths[i] : ToolsFileNameOf(paths[i]));
        if (!ToolsMakeFolderTree(ToolsFolderOf(path))) {
            scope.Write(VnString::Format(u"Creating the folder \"%s\" failed", ToolsFolderOf(path)));
            return false;
        }
        error = files.WriteFile(path, data);
        if (error != vnwin::kErrorSuccess) {
            scope.Write(VnString::Format(u"Writing \"%s\" failed, error: %u", path, error));
            return false;
        }
        ++written;
    }
    scope.Write(VnString::Format(u"Extracted %d files", written));
    scope.SetResult(1);
    return true;
}
