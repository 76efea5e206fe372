#include "SimFiles.h"

#include "VnProfileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "PeImage.h"
#include "SimFileMatch.h"
#include "SimHostFile.h"

namespace {
constexpr uint32_t kErrorNotSameDevice = 17;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorDirectory = 267;
constexpr uint32_t kErrorResourceDataNotFound = 1812;
constexpr uint32_t kErrorResourceTypeNotFound = 1813;
// A plain path for CreateDirectory leaves room for an 8.3 name: MAX_PATH - 12.
constexpr int32_t kMaxDirectoryPath = 248;

constexpr uint32_t kFileAttributeTemporary = 0x100, kFileAttributeOffline = 0x1000,
                   kFileAttributeNotContentIndexed = 0x2000;
constexpr uint32_t kSettableAttributes = vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden |
                                         vnwin::kFileAttributeSystem | vnwin::kFileAttributeArchive |
                                         kFileAttributeTemporary | kFileAttributeOffline |
                                         kFileAttributeNotContentIndexed;
constexpr uint32_t kHiddenOrSystem = vnwin::kFileAttributeHidden | vnwin::kFileAttributeSystem;

uint32_t DefaultAttributes(bool folder) { return folder ? 0 : vnwin::kFileAttributeArchive; }

uint64_t FileTimeOf(const struct timespec& time) {
    constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;
    return (uint64_t(time.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL + uint64_t(time.tv_nsec) / 100;
}

bool IsBelow(const VnString& path, const VnString& folder) {
    return path.GetLength() > folder.GetLength() && path.StartsWithNoCase(folder.View()) &&
           path[folder.GetLength()] == u'\\';
}
}  // namespace

VnSimFiles::VnSimFiles(const VnSimFacts& facts, const std::string& machineFolder, IVnRegistry& registry)
    : facts_(facts), registry_(registry), paths_(facts, machineFolder),
      attributes_(machineFolder, [this](const std::string& key) {
          return paths_.WindowsPathOf(paths_.MachineFolder() + "/" + key).ToUtf8();
      }) {
    std::error_code ignored;
    for (const VnSimDrive& drive : facts_.drives) std::filesystem::create_directories(paths_.DriveFolder(drive.letter), ignored);
    attributes_.Load();
    for (const VnString& path : facts_.readOnlyFiles) {
        VnSimPath file;
        if (paths_.Resolve(path, file, false, false) != 0 || !file.exists) continue;
        uint32_t kept = AttributesOf(file) & ~(vnwin::kFileAttributeDirectory | vnwin::kFileAttributeNormal);
        attributes_.Set(AttributeKey(file.hostPath), kept | vnwin::kFileAttributeReadOnly, DefaultAttributes(file.isFolder));
    }
}

// ---- helpers ----

std::string VnSimFiles::AttributeKey(const std::string& hostPath) const {
    return hostPath.substr(paths_.MachineFolder().size() + 1);
}

uint32_t VnSimFiles::AttributesOf(const VnSimPath& path) const {
    uint32_t stored = DefaultAttributes(path.isFolder);
    attributes_.Find(AttributeKey(path.hostPath), stored);
    if (path.isLink) stored |= vnwin::kFileAttributeReparsePoint;
    if (path.isFolder) return stored | vnwin::kFileAttributeDirectory;
    return stored ? stored : vnwin::kFileAttributeNormal;
}

bool VnSimFiles::IsLocked(const VnSimPath& path) const {
    return !facts_.lockedFiles.IsEmpty() && facts_.IsFileLocked(path.windowsPath);
}

uint32_t VnSimFiles::ResolveExisting(const VnString& path, VnSimPath& out) {
    uint32_t error = paths_.Resolve(path, out);
    if (error) return error;
    return out.MissingError();
}

// Whether an existing file may be replaced by one with `incomingAttributes`,
// as CreateFileW with CREATE_ALWAYS decides.
uint32_t VnSimFiles::CheckReplaceable(const VnSimPath& target, uint32_t incomingAttributes) {
    if (target.isFolder) return vnwin::kErrorAccessDenied;
    uint32_t existing = AttributesOf(target);
    if (existing & vnwin::kFileAttributeReadOnly) return vnwin::kErrorAccessDenied;
    if ((existing & kHiddenOrSystem) & ~incomingAttributes) return vnwin::kErrorAccessDenied;
    if (IsLocked(target)) return vnwin::kErrorSharingViolation;
    return 0;
}

uint64_t VnSimFiles::FreeBytes(char16_t drive) const {
    const VnSimDrive* facts = facts_.FindDrive(drive);
    auto filled = filledDrives_.find(drive);
    if (!facts || facts->full || (filled != filledDrives_.end() && filled->second)) return 0;
    auto written = writtenBytes_.find(drive);
    int64_t used = written == writtenBytes_.end() ? 0 : written->second;
    // In unsigned arithmetic: a drive may report 2^63 bytes and more.
    uint64_t free = facts->freeBytes;
    if (used >= 0) {
        free = uint64_t(used) >= free ? 0 : free - uint64_t(used);
    } else {
        const uint64_t released = uint64_t(0) - uint64_t(used);  // removed files gave back more than was written
        free = released > UINT64_MAX - free ? UINT64_MAX : free + released;
    }
    if (facts->totalBytes && free > facts->totalBytes) return facts->totalBytes;
    return free;
}

void VnSimFiles::NoteWriteOf(const VnSimPath& file) {
    if (!facts_.diskFullAt.IsEmpty() && facts_.FillsDiskWhenWritten(file.windowsPath)) filledDrives_[file.drive] = true;
}

uint32_t VnSimFiles::ReserveSpace(char16_t drive, uint64_t adding, uint64_t replacing) {
    const VnSimDrive* facts = facts_.FindDrive(drive);
    if (!facts || facts->full || filledDrives_[drive]) return vnwin::kErrorDiskFull;
    if (adding > replacing && adding - replacing > FreeBytes(drive)) return vnwin::kErrorDiskFull;
    writtenBytes_[drive] += int64_t(adding) - int64_t(replacing);
    return 0;
}

void VnSimFiles::ReleaseSpace(char16_t drive, uint64_t bytes) { writtenBytes_[drive] -= int64_t(bytes); }

uint32_t VnSimFiles::RemoveResolvedFile(const VnSimPath& file) {
    if (unlink(file.hostPath.c_str()) != 0) return VnSimErrorFromErrno(errno);
    ReleaseSpace(file.drive, uint64_t(file.info.st_size));
    attributes_.Erase(AttributeKey(file.hostPath));
    paths_.NoteRemoved(file.hostParent, file.name, false);
    return 0;
}

uint32_t VnSimFiles::CopyResolved(const VnSimPath& from, const VnSimPath& to) {
    uint64_t size = uint64_t(from.info.st_size);
    uint64_t replaced = to.exists ? uint64_t(to.info.st_size) : 0;
    NoteWriteOf(to);
    if (uint32_t error = ReserveSpace(to.drive, size, replaced)) return error;
    std::string target = to.exists ? to.hostPath : to.hostParent + "/" + to.writtenName;
    if (uint32_t error = VnSimCopyHostFile(from.hostPath, from.info, target)) {
        ReleaseSpace(to.drive, size);
        if (!to.exists) unlink(target.c_str());
        return error;
    }
    // CopyFileW gives the copy the source's attributes, marked for archiving.
    uint32_t copied = (AttributesOf(from) & kSettableAttributes) | vnwin::kFileAttributeArchive;
    attributes_.Set(AttributeKey(target), copied, DefaultAttributes(false));
    if (!to.exists) paths_.NoteAdded(to.hostParent, to.writtenName);
    return 0;
}

uint32_t VnSimFiles::RenameResolved(const VnSimPath& from, const VnSimPath& to) {
    // Replacing keeps the stored name of the file replaced; a new name, or a
    // change of case, takes the name as written.
    std::string target = to.exists && to.hostPath != from.hostPath ? to.hostPath : to.hostParent + "/" + to.writtenName;
    if (rename(from.hostPath.c_str(), target.c_str()) != 0) return VnSimErrorFromErrno(errno);
    if (to.exists && to.hostPath != from.hostPath) {
        ReleaseSpace(to.drive, uint64_t(to.info.st_size));
        attributes_.Erase(AttributeKey(to.hostPath));
    }
    attributes_.Move(AttributeKey(from.hostPath), AttributeKey(target), from.isFolder);
    paths_.NoteRemoved(from.hostParent, from.name, from.isFolder);
    paths_.NoteAdded(to.hostParent, target.substr(to.hostParent.size() + 1));
    return 0;
}

// ---- attributes ----

uint32_t VnSimFiles::GetFileAttributes(const VnString& path) {
    VnSimPath file;
    if (ResolveExisting(path, file) != 0) return vnwin::kInvalidFileAttributes;
    return AttributesOf(file);
}

uint32_t VnSimFiles::GetAttributesError(const VnString& path) {
    VnSimPath file;
    return ResolveExisting(path, file);
}

uint32_t VnSimFiles::SetFileAttributes(const VnString& path, uint32_t attributes) {
    VnSimPath file;
    if (uint32_t error = ResolveExisting(path, file)) return error;
    attributes_.Set(AttributeKey(file.hostPath), attributes & kSettableAttributes, DefaultAttributes(file.isFolder));
    return 0;
}

// ---- folders ----

uint32_t VnSimFiles::CreateDirectory(const VnString& path) {
    VnSimPath folder;
    if (uint32_t error = paths_.Resolve(path, folder)) return error;
    if (!folder.extended && folder.windowsPath.GetLength() >= kMaxDirectoryPath) return vnwin::kErrorFilenameExcedRange;
    if (folder.exists || folder.isRoot) return vnwin::kErrorAlreadyExists;
    if (!folder.parentExists) return vnwin::kErrorPathNotFound;
    if (facts_.IsFolderUncreatable(folder.windowsPath)) return vnwin::kErrorAccessDenied;
    std::string target = folder.hostParent + "/" + folder.writtenName;
    if (mkdir(target.c_str(), 0755) != 0) return VnSimErrorFromErrno(errno);
    attributes_.Erase(AttributeKey(target));
    paths_.NoteAdded(folder.hostParent, folder.writtenName);
    return 0;
}

uint32_t VnSimFiles::RemoveDirectory(const VnString& path) {
    VnSimPath folder;
    if (uint32_t error = ResolveExisting(path, folder)) return error;
    if (!folder.isFolder) return kErrorDirectory;
    if (folder.isRoot || (AttributesOf(folder) & vnwin::kFileAttributeReadOnly)) return vnwin::kErrorAccessDenied;
    if ((folder.isLink ? unlink(folder.hostPath.c_str()) : rmdir(folder.hostPath.c_str())) != 0)
        return VnSimErrorFromErrno(errno);
    attributes_.Erase(AttributeKey(folder.hostPath));
    paths_.NoteRemoved(folder.hostParent, folder.name, true);
    return 0;
}

// ---- files ----

uint32_t VnSimFiles::DeleteFile(const VnString& path) {
    VnSimPath file;
    if (uint32_t error = ResolveExisting(path, file)) return error;
    if (file.isFolder || (AttributesOf(file) & vnwin::kFileAttributeReadOnly)) return vnwin::kErrorAccessDenied;
    if (IsLocked(file)) return vnwin::kErrorSharingViolation;
    return RemoveResolvedFile(file);
}

uint32_t VnSimFiles::CopyFile(const VnString& from, const VnString& to, bool failIfExists) {
    VnSimPath source, target;
    if (uint32_t error = ResolveExisting(from, source)) return error;
    if (source.isFolder) return vnwin::kErrorAccessDenied;
    if (IsLocked(source)) return vnwin::kErrorSharingViolation;
    if (uint32_t error = paths_.Resolve(to, target)) return error;
    if (target.trailingSeparator) return kErrorInvalidName;
    if (!target.parentExists) return vnwin::kErrorPathNotFound;
    if (target.exists) {
        if (target.hostPath == source.hostPath) return vnwin::kErrorSharingViolation;
        if (failIfExists) return vnwin::kErrorFileExists;
        if (uint32_t error = CheckReplaceable(target, AttributesOf(source))) return error;
    }
    return CopyResolved(source, target);
}

uint32_t VnSimFiles::MoveFile(const VnString& from, const VnString& to) {
    // MoveFileW moves files between drives by copying.
    return MoveFileEx(from, to, vnwin::kMoveFileCopyAllowed);
}

uint32_t VnSimFiles::MoveFileEx(const VnString& from, const VnString& to, uint32_t flags) {
    if (flags & vnwin::kMoveFileDelayUntilReboot) {
        if (flags & vnwin::kMoveFileCopyAllowed) return vnwin::kErrorInvalidParameter;
        return QueuePendingRename(from, to, flags);
    }
    VnSimPath source, target;
    if (uint32_t error = ResolveExisting(from, source)) return error;
    if (IsLocked(source)) return vnwin::kErrorSharingViolation;
    if (to.IsEmpty()) return vnwin::kErrorInvalidParameter;
    if (uint32_t error = paths_.Resolve(to, target)) return error;
    if (target.trailingSeparator && !source.isFolder) return kErrorInvalidName;
    if (!target.parentExists) return vnwin::kErrorPathNotFound;
    if (target.exists && target.hostPath == source.hostPath) return RenameResolved(source, target);  // case change
    if (source.isFolder && IsBelow(target.windowsPath, source.windowsPath)) return vnwin::kErrorInvalidParameter;
    if (target.exists) {
        if (!(flags & vnwin::kMoveFileReplaceExisting)) return vnwin::kErrorAlreadyExists;
        if (source.isFolder || target.isFolder || (AttributesOf(target) & vnwin::kFileAttributeReadOnly))
            return vnwin::kErrorAccessDenied;
        if (IsLocked(target)) return vnwin::kErrorSharingViolation;
    }
    if (source.drive == target.drive) return RenameResolved(source, target);
    if (!(flags & vnwin::kMoveFileCopyAllowed) || source.isFolder) return kErrorNotSameDevice;
    if (uint32_t error = CopyResolved(source, target)) return error;
    return RemoveResolvedFile(source);
}

uint32_t VnSimFiles::CreateSymbolicLink(const VnString& link, const VnString& target, bool folder) {
    VnSimPath to, at;
    if (uint32_t error = ResolveExisting(target, to)) return error;
    if (to.isFolder != folder) return vnwin::kErrorInvalidParameter;
    if (uint32_t error = paths_.Resolve(link, at)) return error;
    if (at.exists) return vnwin::kErrorAlreadyExists;
    if (!at.parentExists) return vnwin::kErrorPathNotFound;
    const std::string hostLink = at.hostParent + "/" + at.writtenName;
    if (symlink(to.hostPath.c_str(), hostLink.c_str()) != 0) return VnSimErrorFromErrno(errno);
    attributes_.Erase(AttributeKey(hostLink));
    paths_.NoteAdded(at.hostParent, at.writtenName);
    return 0;
}

uint32_t VnSimFiles::QueuePendingRename(const VnString& from, const VnString& to, uint32_t flags) {
    if (facts_.moveFileExRefuses) return vnwin::kErrorAccessDenied;
    // Windows records the paths made full, but not redirected.
    VnPendingRename rename;
    if (uint32_t error = paths_.Normalise(from, rename.source, false)) return error;
    if (!to.IsEmpty()) {
        if (uint32_t error = paths_.Normalise(to, rename.target, false)) return error;
        rename.replaceExisting = (flags & vnwin::kMoveFileReplaceExisting) != 0;
    }
    return VnAppendPendingRename(registry_, rename);
}

uint32_t VnSimFiles::FindFiles(const VnString& pattern, VnCoreArray<VnFindData>& found) {
    found.RemoveAll();
    VnSimPath match;
    if (uint32_t error = paths_.Resolve(pattern, match, true)) return error;
    if (match.trailingSeparator || match.isRoot) return vnwin::kErrorFileNotFound;
    if (!match.parentExists) return vnwin::kErrorPathNotFound;
    VnString mask = VnString::FromUtf8(match.writtenName);
    bool wildcards = mask.FindOneOf(u"*?") >= 0;
    if (!wildcards && !match.exists) return vnwin::kErrorFileNotFound;
    if (wildcards && facts_.IsFolderUnreadable(pattern.Left(std::max(pattern.ReverseFind(u'\\'), 0))))
        return vnwin::kErrorAccessDenied;

    auto add = [&](const std::string& hostPath, const std::string& name, const struct stat& info, bool isLink) {
        VnSimPath entry;
        entry.hostPath = hostPath;
        entry.isFolder = S_ISDIR(info.st_mode);
        entry.isLink = isLink;
        VnFindData data;
        data.name = VnString::FromUtf8(name);
        data.attributes = AttributesOf(entry);
        data.size = entry.isFolder ? 0 : uint64_t(info.st_size);
        data.lastWriteTime = FileTimeOf(info.st_mtim);
        found.Add(data);
    };
    if (!wildcards) {
        add(match.hostPath, match.name, match.info, match.isLink);
        return 0;
    }
    VnSimFileMask fileMask(mask);
    VnSimListHostFolder(match.hostParent, [&](const std::string& name, const struct stat& info, bool isLink) {
        if (fileMask.Matches(VnString::FromUtf8(name))) add(match.hostParent + "/" + name, name, info, isLink);
    });
    // In NTFS order (names compared in upper case), each name folded once.
    std::vector<std::pair<std::u16string, int32_t>> order;
    order.reserve(size_t(found.GetSize()));
    for (int32_t i = 0; i < found.GetSize(); ++i) order.emplace_back(VnSimPaths::FoldName(found[i].name.View()), i);
    std::sort(order.begin(), order.end());
    VnCoreArray<VnFindData> sorted;
    for (const auto& entry : order) sorted.Add(std::move(found[entry.second]));
    found = std::move(sorted);
    if (!found.IsEmpty()) return 0;
    // Below a drive root every folder lists "." and "..": a mask that matches
    // them finds something, even in an empty folder.
    bool inRoot = match.windowsPath.Find(u'\\', 3) < 0;
    bool matchesDots = fileMask.Matches(VN_LIT(u".")) || fileMask.Matches(VN_LIT(u".."));
    return !inRoot && matchesDots ? 0 : vnwin::kErrorFileNotFound;
}

uint32_t VnSimFiles::GetFileSize(const VnString& path, uint64_t& size) {
    size = 0;
    VnSimPath file;
    if (uint32_t error = ResolveExisting(path, file)) return error;
    // As the directory entry tells it: a folder has no size of its own.
    size = file.isFolder ? 0 : uint64_t(file.info.st_size);
    return 0;
}

uint32_t VnSimFiles::ReadFile(const VnString& path, std::string& bytes, uint64_t offset, uint64_t maxBytes) {
    bytes.clear();
    VnSimPath file;
    if (uint32_t error = ResolveExisting(path, file)) return error;
    if (file.isFolder) return vnwin::kErrorAccessDenied;
    if (IsLocked(file)) return vnwin::kErrorSharingViolation;
    return VnSimReadHostFile(file.hostPath, bytes, offset, maxBytes);
}

uint32_t VnSimFiles::WriteFile(const VnString& path, const std::string& bytes) {
    VnSimPath file;
    if (uint32_t error = paths_.Resolve(path, file)) return error;
    if (file.trailingSeparator) return kErrorInvalidName;
    if (!file.parentExists) return vnwin::kErrorPathNotFound;
    if (file.exists) {
        if (uint32_t error = CheckReplaceable(file, vnwin::kFileAttributeNormal)) return error;
    }
    uint64_t replaced = file.exists ? uint64_t(file.info.st_size) : 0;
    NoteWriteOf(file);
    if (uint32_t error = ReserveSpace(file.drive, bytes.size(), replaced)) return error;
    std::string target = file.exists ? file.hostPath : file.hostParent + "/" + file.writtenName;
    if (uint32_t error = VnSimWriteHostFile(target, bytes)) {
        ReleaseSpace(file.drive, bytes.size());
        return error;
    }
    if (file.exists) {
        uint32_t kept = AttributesOf(file) & kSettableAttributes;
        attributes_.Set(AttributeKey(target), kept | vnwin::kFileAttributeArchive, DefaultAttributes(false));
    } else {
        attributes_.Erase(AttributeKey(target));
        paths_.NoteAdded(file.hostParent, file.writtenName);
    }
    return 0;
}

uint32_t VnSimFiles::GetDiskFreeSpace(const VnString& rootPath, VnDiskSpace& space) {
    space = VnDiskSpace();
    VnSimPath folder;
    if (uint32_t error = ResolveExisting(rootPath, folder)) return error;
    if (!folder.isFolder) return kErrorDirectory;
    const VnSimDrive* drive = facts_.FindDrive(folder.drive);
    space.freeToCaller = space.totalFree = FreeBytes(folder.drive);
    space.total = drive ? std::max(drive->totalBytes, space.totalFree) : space.totalFree;
    return 0;
}

// ---- program files ----

uint32_t VnSimFiles::GetFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) {
    versionMS = versionLS = 0;
    static const VnString kVersionLibrary = VN_LIT(u"version.dll");
    if (facts_.IsLibraryMissing(kVersionLibrary)) return vnwin::kErrorModNotFound;
    for (const char* function : {"GetFileVersionInfoSizeW", "GetFileVersionInfoW", "VerQueryValueW"})
        if (facts_.IsExportMissing(kVersionLibrary, function)) return vnwin::kErrorProcNotFound;
    std::string bytes;
    if (uint32_t error = ReadFile(path, bytes)) return error;
    if (VnReadPeMachine(bytes) == 0) return kErrorResourceDataNotFound;
    if (!VnReadPeFileVersion(bytes, versionMS, versionLS)) return kErrorResourceTypeNotFound;
    return 0;
}

uint16_t VnSimFiles::GetPeMachine(const VnString& path) {
    constexpr uint64_t kHeaderBytes = 64 * 1024;  // the PE headers sit near the start
    std::string bytes;
    if (ReadFile(path, bytes, 0, kHeaderBytes) != 0) return 0;
    return VnReadPeMachine(bytes);
}

// ---- the simulated restart ----

bool VnSimFiles::ApplyPendingFileOperations(VnStringArray* failures) {
    VnCoreArray<VnPendingRename> renames;
    bool allDone = VnReadPendingRenames(registry_, renames) == 0;
    for (const VnPendingRename& rename : renames) {
        uint32_t error = CarryOutPendingRename(rename);
        if (!error) continue;
        allDone = false;
        if (failures)
            failures->Add(VnString::Format(u"%s -> %s: error %u", rename.source,
                                           rename.target.IsEmpty() ? VN_LIT(u"(delete)") : rename.target, error));
    }
    return VnClearPendingRenames(registry_) == 0 && allDone;
}

// As the session manager does it, a native program: no redirection, no
// locks, read-only files replaced or deleted all the same.
uint32_t VnSimFiles::CarryOutPendingRename(const VnPendingRename& rename) {
    VnSimPath source, target;
    if (rename.source.IsEmpty()) return kErrorInvalidName;
    if (uint32_t error = paths_.Resolve(rename.source, source, false, false)) return error;
    if (uint32_t error = source.MissingError()) return error;
    if (rename.target.IsEmpty()) {
        if (!source.isFolder) return RemoveResolvedFile(source);
        if (rmdir(source.hostPath.c_str()) != 0) return VnSimErrorFromErrno(errno);
        attributes_.Erase(AttributeKey(source.hostPath));
        paths_.NoteRemoved(source.hostParent, source.name, true);
        return 0;
    }
    if (uint32_t error = paths_.Resolve(rename.target, target, false, false)) return error;
    if (!target.parentExists) return vnwin::kErrorPathNotFound;
    if (target.exists && target.hostPath != source.hostPath) {
        if (!rename.replaceExisting) return vnwin::kErrorAlreadyExists;
        if (target.isFolder || source.isFolder) return vnwin::kErrorAccessDenied;
    }
    if (source.drive != target.drive) return kErrorNotSameDevice;
    return RenameResolved(source, target);
}

std::u16string VnSimFiles::ProfileKey(std::u16string_view section, std::u16string_view key) {
    VnString joined = VnString(section) + u"\x01" + VnString(key);
    joined.MakeLower();
    return std::u16string(joined.View());
}

VnString VnSimFiles::GetPrivateProfileString(const VnString& path, const VnString& section, const VnString& key,
                                             const VnString& defaultValue, uint32_t bufferChars) {
    // Windows keeps the file it read last; so does this, while its size and
    // time stay the same.
    VnString value = defaultValue;
    VnCoreArray<VnFindData> found;
    if (FindFiles(path, found) == vnwin::kErrorSuccess && found.GetSize() == 1) {
        const std::string stamp = std::to_string(found[0].size) + "/" + std::to_string(found[0].lastWriteTime);
        std::string bytes;
        if ((profileCache_.path != path || profileCache_.bytes != stamp) &&
            ReadFile(path, bytes) == vnwin::kErrorSuccess) {
            profileCache_ = ProfileCache{path, stamp, {}};
            VnForEachProfileValue(VnProfileTextOf(bytes), [this](std::u16string_view s, std::u16string_view k,
                                                                 std::u16string_view v) {
                profileCache_.values.emplace(ProfileKey(s, k), VnString(v));  // the first one counts
            });
        }
        auto entry = profileCache_.values.find(ProfileKey(section.View(), key.View()));
        if (profileCache_.path == path && entry != profileCache_.values.end()) value = entry->second;
    }
    if (bufferChars == 0) return VnString();
    return value.GetLength() >= int32_t(bufferChars) ? value.Left(int32_t(bufferChars) - 1) : value;
}
