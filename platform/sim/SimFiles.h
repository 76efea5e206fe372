// The files part of the simulated machine: IVnFiles over the drive folders of
// the machine folder (see SimPaths.h for how paths map).
//
// What Linux cannot hold is kept beside the drives:
// - attributes (read-only, hidden, system, archive, ...) in "attributes.txt"
//   of the machine folder, one line per file or folder whose attributes
//   differ from the default (archive for a file, none for a folder):
//   "<hex attributes> <Windows path>". The facts' read-only files are marked
//   read-only when the machine opens.
// - free space per drive: the facts' free bytes when the machine opens, less
//   what is written and plus what is deleted while it runs (not kept across
//   openings). A write that does not fit, or any write to a drive the facts
//   mark full, fails with ERROR_DISK_FULL and leaves nothing behind. A write
//   of a file the facts name in diskFullAt fills its drive from then on.
//
// Windows rules kept: deleting or overwriting a read-only file, and
// overwriting a hidden or system file with a copy that is not, is
// ERROR_ACCESS_DENIED; renaming a read-only file is allowed; CopyFile copies
// the source's attributes and last-write time.
//
// Links: a symbolic link is a host symlink. It lists with
// FILE_ATTRIBUTE_REPARSE_POINT, everything else sees its target, and removing
// it (RemoveDirectory for a folder link, DeleteFile for a file link) removes
// only the link.
//
// Locked files (the facts' lockedFiles): another program has them open
// without sharing, so reading, copying from, writing, deleting, renaming and
// replacing them give ERROR_SHARING_VIOLATION; their attributes and listings
// stay readable and settable, as on Windows.
//
// MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT appends to HKLM
// "SYSTEM\CurrentControlSet\Control\Session Manager" value
// "PendingFileRenameOperations" exactly as Windows does (see
// SimPendingRenames.h); the paths are recorded as written (normalised, not
// redirected). ApplyPendingFileOperations carries the list out at a
// simulated restart.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "SimFacts.h"
#include "SimFileAttributes.h"
#include "SimPaths.h"
#include "SimPendingRenames.h"
#include "VnPlatform.h"

class VnSimFiles : public IVnFiles {
public:
    // `machineFolder`: the machine's folder on the Linux side; its "drives"
    // folder gets one folder per drive of the facts. The registry receives
    // the pending renames. Facts and registry must outlive the object.
    VnSimFiles(const VnSimFacts& facts, const std::string& machineFolder, IVnRegistry& registry);

    uint32_t GetFileAttributes(const VnString& path) override;
    uint32_t GetAttributesError(const VnString& path) override;
    uint32_t SetFileAttributes(const VnString& path, uint32_t attributes) override;
    uint32_t CreateDirectory(const VnString& path) override;
    uint32_t RemoveDirectory(const VnString& path) override;
    uint32_t DeleteFile(const VnString& path) override;
    uint32_t CopyFile(const VnString& from, const VnString& to, bool failIfExists) override;
    uint32_t MoveFile(const VnString& from, const VnString& to) override;
    uint32_t MoveFileEx(const VnString& from, const VnString& to, uint32_t flags) override;
    // A host symbolic link to the target's host path; the target must exist.
    uint32_t CreateSymbolicLink(const VnString& link, const VnString& target, bool folder) override;
    uint32_t FindFiles(const VnString& pattern, VnCoreArray<VnFindData>& found) override;
    uint32_t GetFileSize(const VnString& path, uint64_t& size) override;
    uint32_t ReadFile(const VnString& path, std::string& bytes, uint64_t offset = 0,
                      uint64_t maxBytes = UINT64_MAX) override;
    uint32_t WriteFile(const VnString& path, const std::string& bytes) override;
    // Piecewise writing (SimFileStreams.cpp): the file is a host file kept
    // open; each piece takes its room on the drive as it is written.
    uint32_t CreateFileForWriting(const VnString& path, VnHandle& file, bool shareRead = false) override;
    uint32_t WriteToFile(VnHandle file, const void* data, uint32_t size) override;
    void CloseFile(VnHandle file) override;
    uint32_t GetDiskFreeSpace(const VnString& rootPath, VnDiskSpace& space) override;
    // Through the simulated Version.dll: ERROR_MOD_NOT_FOUND when the facts
    // name it missing, ERROR_PROC_NOT_FOUND when one of its three functions
    // is; ERROR_RESOURCE_DATA_NOT_FOUND for a file that is not a program
    // file, ERROR_RESOURCE_TYPE_NOT_FOUND for one without a version.
    uint32_t GetFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) override;
    uint16_t GetPeMachine(const VnString& path) override;
    VnString GetPrivateProfileString(const VnString& path, const VnString& section, const VnString& key,
                                     const VnString& defaultValue, uint32_t bufferChars) override;

private:
    struct ProfileCache {
        VnString path;
        std::string bytes;  // the file's size and time
        std::unordered_map<std::u16string, VnString> values;  // "section\x01key" in lower case
    };
    static std::u16string ProfileKey(std::u16string_view section, std::u16string_view key);
    ProfileCache profileCache_;

public:

    // The simulated restart: carries out the pending renames and deletions in
    // the order they were recorded, then removes the value. Nothing runs at
    // that time, so locks do not hold and read-only files are replaced or
    // deleted all the same. False when an entry could not be carried out; each
    // such entry is described in `failures`.
    bool ApplyPendingFileOperations(VnStringArray* failures = nullptr);
    // Writes the attributes file when attributes changed.
    void Flush() { attributes_.Flush(); }

    // Path mapping, shared with the processes part.
    VnSimPaths& Paths() { return paths_; }

private:
    uint32_t ResolveExisting(const VnString& path, VnSimPath& out);
    uint32_t CheckReplaceable(const VnSimPath& target, uint32_t incomingAttributes);
    uint32_t CopyResolved(const VnSimPath& from, const VnSimPath& to);
    uint32_t RenameResolved(const VnSimPath& from, const VnSimPath& to);
    uint32_t RemoveResolvedFile(const VnSimPath& file);
    uint32_t QueuePendingRename(const VnString& from, const VnString& to, uint32_t flags);
    uint32_t CarryOutPendingRename(const VnPendingRename& rename);
    uint32_t AttributesOf(const VnSimPath& path) const;
    bool IsLocked(const VnSimPath& path) const;
    // Free space bookkeeping: fails with ERROR_DISK_FULL when `adding` bytes
    // replacing `replacing` bytes do not fit on the drive.
    uint32_t ReserveSpace(char16_t drive, uint64_t adding, uint64_t replacing);
    // The facts' diskFullAt: writing this file fills its drive from now on.
    void NoteWriteOf(const VnSimPath& file);
    void ReleaseSpace(char16_t drive, uint64_t bytes);
    uint64_t FreeBytes(char16_t drive) const;
    std::string AttributeKey(const std::string& hostPath) const;

    const VnSimFacts& facts_;
    IVnRegistry& registry_;
    VnSimPaths paths_;
    VnSimFileAttributes attributes_;
    std::unordered_map<char16_t, int64_t> writtenBytes_;  // per drive, net of deletions
    struct OpenFile {
        int descriptor;
        char16_t drive;
    };
    std::unordered_map<VnHandle, OpenFile> openFiles_;
    VnHandle nextFile_ = 0x5000;
    std::unordered_map<char16_t, bool> filledDrives_;     // filled by the facts' diskFullAt
};
