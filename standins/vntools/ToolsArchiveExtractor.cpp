#include "ToolsArchiveExtractor.h"

#include <algorithm>
#include <string>

#include "ToolsFolders.h"
#include "VnPlatform.h"
#include "VnZipArchive.h"

namespace {
constexpr char16_t kSource[] = u"VnArchive::Extract";

// The archive read through the platform's files by ranges, a window of a few
// megabytes at a time: entries lie one after the other, so reading them in
// archive order opens the file about once per window.
class PlatformFileSource final : public VnZipSource {
public:
    static constexpr size_t kWindow = size_t(4) << 20;

    PlatformFileSource(IVnFiles& files, const VnString& path, uint64_t size) : files_(files), path_(path), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, size_t count, std::string_view& bytes) override {
        if (offset > size_ || count > size_ - offset) return false;
        if (offset < windowStart_ || offset + count > windowStart_ + window_.size()) {
            windowStart_ = offset;
            if (files_.ReadFile(path_, window_, offset, std::max(count, kWindow)) != vnwin::kErrorSuccess ||
                window_.size() < count) {
                window_.clear();
                return false;
            }
        }
        bytes = std::string_view(window_).substr(size_t(offset - windowStart_), count);
        return true;
    }

private:
    IVnFiles& files_;
    VnString path_;
    uint64_t size_;
    uint64_t windowStart_ = 0;
    std::string window_;
};
}  // namespace

bool ToolsArchiveExtractor::Extract(const VnString& archive, const VnString& folder, bool keepFolderStructure) {
    ToolsLogScope scope(&log_, kSource);
    scope.SetResult(0);
    scope.Write(VnString::Format(u"Extracting \"%s\" to \"%s\"%s", archive, folder,
                                 keepFolderStructure ? u"" : u" without its folders"));
    IVnFiles& files = VnPlatform().Files();
    uint64_t archiveSize = 0;
    uint32_t error = files.GetFileSize(archive, archiveSize);
    if (error != vnwin::kErrorSuccess) {
        scope.Write(VnString::Format(u"Reading the archive failed, error: %u", error));
        return false;
    }
    PlatformFileSource source(files, archive, archiveSize);
    VnZipArchive zip;
    VnString reason;
    if (!zip.Open(source, reason)) {
        scope.Write(VnString::Format(u"Not extracted: %s", reason));
        return false;
    }

    // Every target is decided, and every entry checked as far as the central
    // directory tells (path, size, method, encryption, place of its data),
    // before the first write.
    const VnString target = ToolsFolderPath(folder);
    VnStringArray paths;
    uint64_t declared = 0;
    for (int32_t i = 0; i < zip.Entries().GetSize(); ++i) {
        const VnZipEntry& entry = zip.Entries()[i];
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
        if (!entry.IsFolder() && !zip.CheckEntry(i, reason)) {
            scope.Write(VnString::Format(u"Not extracted: %s", reason));
            return false;
        }
        paths.Add(relative);
    }
    if (target.IsEmpty() || !ToolsMakeFolderTree(target)) {
        scope.Write(VnString::Format(u"Creating the folder \"%s\" failed", target));
        return false;
    }

    int32_t written = 0;
    VnString madeFolder = target;  // entries of one folder follow each other: made once
    for (int32_t i = 0; i < zip.Entries().GetSize(); ++i) {
        const VnZipEntry& entry = zip.Entries()[i];
        if (entry.IsFolder()) {
            if (keepFolderStructure && !paths[i].IsEmpty() && !ToolsMakeFolderTree(target + paths[i])) {
                scope.Write(VnString::Format(u"Creating the folder \"%s\" failed", target + paths[i]));
                return false;
            }
            continue;
        }
        const VnString path = target + (keepFolderStructure ? paths[i] : ToolsFileNameOf(paths[i]));
        const VnString fileFolder = ToolsFolderOf(path);
        if (fileFolder != madeFolder) {
            if (!ToolsMakeFolderTree(fileFolder)) {
                scope.Write(VnString::Format(u"Creating the folder \"%s\" failed", fileFolder));
                return false;
            }
            madeFolder = fileFolder;
        }
        VnHandle file = 0;
        error = files.CreateFileForWriting(path, file);
        if (error != vnwin::kErrorSuccess) {
            scope.Write(VnString::Format(u"Writing \"%s\" failed, error: %u", path, error));
            return false;
        }
        const bool complete = zip.ReadEntryTo(
            i,
            [&](std::string_view piece) {
                error = files.WriteToFile(file, piece.data(), uint32_t(piece.size()));
                return error == vnwin::kErrorSuccess;
            },
            reason);
        files.CloseFile(file);
        if (!complete) {
            // A file cut short is not left behind as if it were whole.
            files.DeleteFile(path);
            scope.Write(reason.IsEmpty() ? VnString::Format(u"Writing \"%s\" failed, error: %u", path, error)
                                         : VnString::Format(u"Not extracted: %s", reason));
            return false;
        }
        ++written;
    }
    scope.Write(VnString::Format(u"Extracted %d files", written));
    scope.SetResult(1);
    return true;
}
