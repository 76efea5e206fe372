// Where a Windows path of the simulated machine lives on the Linux side.
//
// Each drive is a folder of the machine folder: "C:\Program Files\x.dll" is
// "<machine>/drives/C/Program Files/x.dll". Names resolve like NTFS: without
// regard to case, keeping the case they were created with.
//
// A path is read as the Win32 layer reads it:
// - forward slashes are backslashes, runs of backslashes are one, "." and ".."
//   are folded, trailing dots and spaces of the last name are dropped, and a
//   relative path starts at the installer's folder;
// - such a plain path of MAX_PATH (260) characters or more fails with
//   ERROR_PATH_NOT_FOUND, as on a Windows without long-path support;
// - "\\?\C:\..." is taken literally (no slash conversion, no folding, "." or
//   ".." or "/" in it is ERROR_INVALID_NAME) and has no length limit;
// - UNC paths ("\\server\share", "\\?\UNC\...") have no network behind them:
//   ERROR_BAD_NETPATH; a drive the facts do not list: ERROR_PATH_NOT_FOUND.
//
// WOW64 file-system redirection (the installer is a 32-bit process): on
// 64-bit Windows, while VnSimFacts::run.wow64FsRedirection is true (set by the
// system part's EnableWow64FsRedirection), "%windir%\System32" and everything
// below it maps to "%windir%\SysWOW64", except the folders Windows exempts
// (catroot, catroot2, driverstore, drivers\etc, logfiles, spool), and
// "%windir%\Sysnative" maps to the real System32. With redirection off both
// names mean themselves.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "SimFacts.h"
#include "VnArray.h"
#include "VnPlatform.h"
#include "VnString.h"

// A Windows path read and looked up in the machine folder.
struct VnSimPath {
    VnString windowsPath;  // normalised and redirected, without "\\?\": "C:\dir\file", a root is "C:\"
    std::string hostPath;  // existing components in their stored case, the rest as written
    std::string hostParent;  // the host folder that holds (or would hold) it; empty for a drive root
    std::string name;        // its last name as stored (or as written when it does not exist), UTF-8
    std::string writtenName;  // its last name as the caller wrote it, UTF-8
    char16_t drive = 0;
    bool extended = false;         // written with "\\?\"
    bool trailingSeparator = false;  // written with a backslash after the last name
    bool isRoot = false;
    bool exists = false;
    bool isFolder = false;
    bool isLink = false;         // a symbolic link (a host symlink); isFolder and info are its target's
    bool parentExists = false;   // the folder that would hold it exists
    struct stat info {};          // valid when it exists

    // The error Windows gives for a path that does not exist: ERROR_FILE_NOT_FOUND
    // when only the last name is missing, ERROR_PATH_NOT_FOUND otherwise.
    uint32_t MissingError() const;
};

// The Win32 path rules without looking at any file: full-path normalisation
// (or the literal reading of "\\?\"), the MAX_PATH limit and name syntax.
// `currentFolder` ("C:\Setup") is where a relative path starts. Wildcards
// are accepted in the last name only when `allowWildcards`.
uint32_t VnSimNormalisePath(const VnString& path, const VnString& currentFolder, bool allowWildcards,
                            VnString& normalised, bool& extended, bool& trailingSeparator);

class VnSimPaths {
public:
    // `machineFolder` is the machine's folder on the Linux side.
    VnSimPaths(const VnSimFacts& facts, std::string machineFolder);
    VnSimPaths(const VnSimPaths&) = delete;  // remembered folders point into its own listings
    VnSimPaths& operator=(const VnSimPaths&) = delete;

    // Reads and looks up a path. 0, or the Windows error for a path that cannot
    // be read or reached (ERROR_INVALID_NAME, ERROR_PATH_NOT_FOUND, ...). A
    // missing file is not an error here: see VnSimPath::exists.
    // `redirect` false reads the path as a 64-bit (native) program would.
    uint32_t Resolve(const VnString& path, VnSimPath& out, bool allowWildcards = false, bool redirect = true);
    // The Windows path after normalisation (and redirection), without lookup.
    uint32_t Normalise(const VnString& path, VnString& normalised, bool redirect = true) const;

    // The files part tells after it added or removed a name, so that the
    // cached folder listings stay right without rescanning. A listing is
    // read again when the folder's modification time or size changed; a name
    // added from outside within the same clock tick as a change made here, to
    // a folder whose size does not change, is not seen until the folder
    // changes again.
    //
    // Resolved folders are remembered too (the Windows folder, folded, to its
    // host folder), so that a path in a known folder costs one status call
    // of that folder and, when the name is there, one of the name. Each use
    // checks the folder is still there; a folder removed or renamed here
    // forgets them all, since a folder below it may have gone with it.
    void NoteAdded(const std::string& hostFolder, const std::string& name);
    void NoteRemoved(const std::string& hostFolder, const std::string& name, bool folder);

    // The Windows form of a host path inside the drives folder ("C:\dir").
    VnString WindowsPathOf(const std::string& hostPath) const;
    std::string DriveFolder(char16_t drive) const;  // "<machine>/drives/C"
    const std::string& MachineFolder() const { return machineFolder_; }

    // Folds a name for comparison the way NTFS compares names (upper case).
    static std::u16string FoldName(std::u16string_view name);

private:
    // Maps keyed by folded text, searched with a view of a reused buffer.
    struct FoldedHash {
        using is_transparent = void;
        // Not noexcept, so that the tables keep each key's hash beside it
        // and compare long keys only when the hashes match.
        size_t operator()(std::u16string_view folded) const {
            return std::hash<std::u16string_view>{}(folded);
        }
    };
    struct FoldedEqual {  // the bytes at once (char16_t text compares one by one)
        using is_transparent = void;
        bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
            return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
        }
    };
    template <class T>
    using ByFolded = std::unordered_map<std::u16string, T, FoldedHash, FoldedEqual>;
    struct Listing {
        struct timespec modified {};  // the folder's time and size when listed: tmpfs
        off_t size = 0;                 // folders change size with every name
        bool read = false;              // an empty folder is listed once too
        ByFolded<std::string> byFoldedName;  // folded -> stored UTF-8 name
    };
    void ApplyRedirection(VnString& path) const;
    const VnString& CurrentFolder() const;
    void AppendDriveFolder(std::string& to, char16_t drive) const;
    static void FoldInto(std::u16string& folded, std::u16string_view name);
    static void FoldUtf8Into(std::u16string& folded, std::string_view name);
    static VnString CurrentFolderOf(const VnString& installer);
    // A folder found before: its host folder, and its listing in listings_
    // (whose entries never move; null once that listing was dropped), so
    // that a look-up in it hashes neither the host folder nor its path.
    struct RememberedFolder {
        std::string hostFolder;
        Listing* listing = nullptr;
    };
    // The stored name in a listing whose folded form is `foldedName`; null
    // when none is (valid until the listing changes).
    static const std::string* FindStoredName(const Listing& listing, std::u16string_view foldedName);
    Listing& ListingOf(const std::string& hostFolder, const struct stat& folderInfo);
    // `listing`, read again when the folder changed since it was read.
    static Listing& Refreshed(Listing& listing, const std::string& hostFolder, const struct stat& folderInfo);
    void NoteChange(const std::string& hostFolder, const std::string& name, bool added);
    // The host folder that holds the last name of `out.windowsPath` (whose
    // last backslash is at `lastSlash`; `folded_` is that path folded): from
    // the remembered folders, or looked up name by name; `listing` is its
    // listing, perhaps not read yet. 0, or the error for a host path too long.
    uint32_t FindParent(size_t lastSlash, VnSimPath& out, struct stat& folderInfo, Listing*& listing);

    const VnSimFacts& facts_;
    std::string machineFolder_;
    std::string drivesFolder_;
    std::unordered_map<std::string, Listing> listings_;
    ByFolded<RememberedFolder> folders_;  // "C:\PROGRAM FILES" -> its host folder
    std::u16string folded_;  // the path being resolved or the name noted, folded (a buffer kept for its capacity)
    mutable bool currentFolderKnown_ = false;
    mutable VnString currentFolderOf_, currentFolder_;  // CurrentFolder() for that installer path
};
