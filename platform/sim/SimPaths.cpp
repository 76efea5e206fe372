#include "SimPaths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>

namespace {
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorBadNetPath = 53;
constexpr int32_t kMaxPath = 260;
constexpr int32_t kMaxNameLength = 255;

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
char16_t UpperDrive(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c; }
bool HasDrivePrefix(std::u16string_view p) { return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == u':'; }

// Characters NTFS refuses in a name; wildcards only where a pattern may be.
enum : uint8_t { kNameRefused = 1, kNameWildcard = 2 };
constexpr std::array<uint8_t, 128> kAsciiNameClasses = [] {
    std::array<uint8_t, 128> classes{};
    for (char c = 0; c < 32; ++c) classes[size_t(c)] = kNameRefused;
    for (char c : std::string_view("<>:\"|/\\")) classes[size_t(c)] = kNameRefused;
    classes['*'] = classes['?'] = kNameWildcard;
    return classes;
}();

bool IsValidName(std::u16string_view name, bool allowWildcards) {
    if (name.empty() || name.size() > size_t(kMaxNameLength)) return false;
    const uint8_t refused = allowWildcards ? kNameRefused : kNameRefused | kNameWildcard;
    for (char16_t c : name)
        if (c < 128 && (kAsciiNameClasses[c] & refused)) return false;
    return true;
}

VnStringArray SplitNames(std::u16string_view text) { return VnStringArray::Split(text, u"\\"); }

bool SameNoCase(std::u16string_view a, std::u16string_view b) { return VnString::CompareNoCase(a, b) == 0; }

// `path` equals `folder` or lies below it (without regard to case); `rest`
// receives what follows the folder, with its leading backslash.
bool IsAtOrBelow(const VnString& path, const VnString& folder, VnString& rest) {
    if (!path.StartsWithNoCase(folder.View())) return false;
    if (path.GetLength() == folder.GetLength()) {
        rest.Empty();
        return true;
    }
    if (path[folder.GetLength()] != u'\\') return false;
    rest = path.Mid(folder.GetLength());
    return true;
}

// Subfolders of System32 that a 32-bit process sees unredirected.
bool IsExemptFromRedirection(const VnString& rest) {
    static const char16_t* const kExempt[] = {u"\\catroot", u"\\catroot2", u"\\driverstore", u"\\drivers\\etc",
                                              u"\\logfiles", u"\\spool"};
    for (const char16_t* exempt : kExempt) {
        VnString tail;
        if (IsAtOrBelow(rest, VnString(exempt), tail)) return true;
    }
    return false;
}

uint32_t NormaliseExtended(std::u16string_view rest, bool allowWildcards, VnString& normalised,
                           bool& trailingSeparator) {
    if (rest.size() >= 4 && SameNoCase(rest.substr(0, 4), u"UNC\\")) return kErrorBadNetPath;
    if (!HasDrivePrefix(rest) || rest.size() < 3 || rest[2] != u'\\') return kErrorInvalidName;
    std::u16string_view tail = rest.substr(3);
    trailingSeparator = !tail.empty() && tail.back() == u'\\';
    if (trailingSeparator) tail.remove_suffix(1);
    VnStringArray names = tail.empty() ? VnStringArray() : SplitNames(tail);
    for (int32_t i = 0; i < names.GetSize(); ++i) {
        const VnString& name = names[i];
        bool last = i + 1 == names.GetSize();
        if (name == u"." || name == u".." || !IsValidName(name, allowWildcards && last)) return kErrorInvalidName;
    }
    normalised = VnString(rest.substr(0, 3)) + names.Join(u"\\");
    return 0;
}

// A full path already in its final form ("C:\\a\\b": backslashes only, one
// between names, no "." or "..", no trailing dot or blank, every name
// valid), the usual case, which needs no splitting and joining.
bool IsAlreadyNormal(std::u16string_view path, bool allowWildcards) {
    if (path.size() < 3 || !HasDrivePrefix(path) || path[2] != u'\\') return false;
    for (size_t start = 3; start < path.size();) {
        const size_t end = std::min(path.find(u'\\', start), path.size());
        const std::u16string_view name = path.substr(start, end - start);
        const bool last = end == path.size();
        if (name == u"." || name == u".." || !IsValidName(name, allowWildcards && last)) return false;
        if (last && (name.back() == u'.' || name.back() == u' ')) return false;
        if (end + 1 == path.size()) return false;  // a trailing backslash
        start = end + 1;
    }
    return true;
}

uint32_t NormalisePlain(VnString path, const VnString& currentFolder, bool allowWildcards, VnString& normalised,
                        bool& trailingSeparator) {
    if (IsAlreadyNormal(path.View(), allowWildcards)) {
        trailingSeparator = false;
        if (path.GetLength() >= kMaxPath) return vnwin::kErrorPathNotFound;
        normalised = path;
        return 0;
    }
    path.Replace(u'/', u'\\');
    if (path.StartsWith(u"\\\\")) return path.StartsWith(u"\\\\.\\") ? vnwin::kErrorPathNotFound : kErrorBadNetPath;
    // Make it absolute: "C:\x", "C:x" (drive-relative), "\x" (rooted), "x".
    VnString absolute;
    if (HasDrivePrefix(path) && path.GetLength() >= 3 && path[2] == u'\\') {
        absolute = path;
    } else if (HasDrivePrefix(path)) {
        bool sameDrive = UpperDrive(path[0]) == UpperDrive(currentFolder[0]);
        absolute = (sameDrive ? currentFolder : path.Left(2)) + u"\\" + path.Mid(2);
    } else if (path.StartsWith(u"\\")) {
        absolute = currentFolder.Left(2) + path;
    } else {
        absolute = currentFolder + u"\\" + path;
    }
    trailingSeparator = absolute.GetLength() > 3 && absolute.EndsWith(u"\\");

    VnStringArray names;
    for (const VnString& name : SplitNames(absolute.View().substr(3))) {
        if (name.IsEmpty() || name == u".") continue;
        if (name == u"..") {
            if (!names.IsEmpty()) names.RemoveAt(names.GetSize() - 1);
            continue;
        }
        names.Add(name);
    }
    // The last name loses its trailing dots and spaces, as GetFullPathNameW does.
    if (!names.IsEmpty()) {
        VnString& last = names[names.GetSize() - 1];
        int32_t keep = last.GetLength();
        while (keep > 0 && (last[keep - 1] == u'.' || last[keep - 1] == u' ')) --keep;
        last.Truncate(keep);
        if (last.IsEmpty()) names.RemoveAt(names.GetSize() - 1);
    }
    for (int32_t i = 0; i < names.GetSize(); ++i)
        if (!IsValidName(names[i], allowWildcards && i + 1 == names.GetSize())) return kErrorInvalidName;
    normalised = absolute.Left(3) + names.Join(u"\\");
    if (normalised.GetLength() >= kMaxPath) return vnwin::kErrorPathNotFound;
    return 0;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
}  // namespace

uint32_t VnSimPath::MissingError() const {
    if (exists) return 0;
    return parentExists ? vnwin::kErrorFileNotFound : vnwin::kErrorPathNotFound;
}

uint32_t VnSimNormalisePath(const VnString& path, const VnString& currentFolder, bool allowWildcards,
                            VnString& normalised, bool& extended, bool& trailingSeparator) {
    extended = false;
    trailingSeparator = false;
    if (path.IsEmpty()) return vnwin::kErrorPathNotFound;
    if (path.StartsWith(u"\\\\?\\")) {
        extended = true;
        return NormaliseExtended(path.View().substr(4), allowWildcards, normalised, trailingSeparator);
    }
    return NormalisePlain(path, currentFolder, allowWildcards, normalised, trailingSeparator);
}

VnSimPaths::VnSimPaths(const VnSimFacts& facts, std::string machineFolder)
    : facts_(facts), machineFolder_(std::move(machineFolder)), drivesFolder_(machineFolder_ + "/drives") {}

std::u16string VnSimPaths::FoldName(std::u16string_view name) {
    const VnStringGlobals& g = VnStringGlobals::Get();
    std::u16string folded(name);
    for (char16_t& c : folded) c = g.Upper(c);
    return folded;
}

std::string VnSimPaths::DriveFolder(char16_t drive) const {
    return drivesFolder_ + "/" + char(UpperDrive(drive));
}

VnString VnSimPaths::CurrentFolder() const {
    // A process started from Explorer begins in its own folder. Worked out
    // again only when the installer's path has changed.
    const VnString& installer = facts_.installerPath;
    if (currentFolderKnown_ && installer == currentFolderOf_) return currentFolder_;
    currentFolderKnown_ = true;
    currentFolderOf_ = installer;
    currentFolder_ = CurrentFolderOf(installer);
    return currentFolder_;
}

VnString VnSimPaths::CurrentFolderOf(const VnString& installer) {
    int32_t slash = installer.ReverseFind(u'\\');
    if (slash >= 2 && HasDrivePrefix(installer)) return installer.Left(slash == 2 ? 3 : slash);
    return VN_LIT(u"C:\\");
}

VnString VnSimPaths::ApplyRedirection(const VnString& normalised) const {
    if (!facts_.is64BitWindows || !facts_.run.wow64FsRedirection) return normalised;
    const VnString& windows = facts_.windowsFolder;
    if (!normalised.StartsWithNoCase(windows.View())) return normalised;  // most paths: nothing to build
    VnString rest;
    if (IsAtOrBelow(normalised, windows + u"\\System32", rest)) {
        if (IsExemptFromRedirection(rest)) return normalised;
        return windows + u"\\SysWOW64" + rest;
    }
    if (IsAtOrBelow(normalised, windows + u"\\Sysnative", rest)) return windows + u"\\System32" + rest;
    return normalised;
}

uint32_t VnSimPaths::Normalise(const VnString& path, VnString& normalised, bool redirect) const {
    bool extended = false, trailing = false;
    VnString plain;
    uint32_t error = VnSimNormalisePath(path, CurrentFolder(), false, plain, extended, trailing);
    if (error) return error;
    normalised = redirect ? ApplyRedirection(plain) : plain;
    return 0;
}

VnSimPaths::Listing& VnSimPaths::ListingOf(const std::string& hostFolder, const struct stat& folderInfo) {
    Listing& listing = listings_[hostFolder];
    if (listing.read && SameTime(listing.modified, folderInfo.st_mtim) && listing.size == folderInfo.st_size)
        return listing;
    listing.read = true;
    listing.byFoldedName.clear();
    listing.modified = folderInfo.st_mtim;
    listing.size = folderInfo.st_size;
    if (DIR* dir = opendir(hostFolder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            listing.byFoldedName.emplace(FoldName(VnString::FromUtf8(name).View()), name);
        }
        closedir(dir);
    }
    return listing;
}

std::string VnSimPaths::FindStoredName(const std::string& hostFolder, const struct stat& folderInfo,
                                       std::u16string_view name) {
    Listing& listing = ListingOf(hostFolder, folderInfo);
    auto found = listing.byFoldedName.find(FoldName(name));
    return found == listing.byFoldedName.end() ? std::string() : found->second;
}

void VnSimPaths::NoteAdded(const std::string& hostFolder, const std::string& name) { NoteChange(hostFolder, name, true); }

void VnSimPaths::NoteRemoved(const std::string& hostFolder, const std::string& name, bool folder) {
    if (folder) folders_.clear();
    NoteChange(hostFolder, name, false);
}

// Keeps a cached listing in step with a change made through this machine, so
// that the folder is not scanned again because its time changed.
void VnSimPaths::NoteChange(const std::string& hostFolder, const std::string& name, bool added) {
    auto found = listings_.find(hostFolder);
    if (found == listings_.end()) return;
    struct stat info {};
    if (stat(hostFolder.c_str(), &info) != 0) {
        listings_.erase(found);
        return;
    }
    std::u16string folded = FoldName(VnString::FromUtf8(name).View());
    if (added)
        found->second.byFoldedName[folded] = name;
    else
        found->second.byFoldedName.erase(folded);
    found->second.modified = info.st_mtim;
    found->second.size = info.st_size;
}

VnString VnSimPaths::WindowsPathOf(const std::string& hostPath) const {
    if (hostPath.size() < drivesFolder_.size() + 2 || hostPath.compare(0, drivesFolder_.size(), drivesFolder_) != 0)
        return VnString();
    std::string rest = hostPath.substr(drivesFolder_.size() + 2);  // after "/C"
    VnString path = VnString(char16_t(hostPath[drivesFolder_.size() + 1]), 1) + u":\\";
    VnString tail = VnString::FromUtf8(rest.empty() ? rest : rest.substr(1));
    tail.Replace(u'/', u'\\');
    return path + tail;
}

uint32_t VnSimPaths::Resolve(const VnString& path, VnSimPath& out, bool allowWildcards, bool redirect) {
    out = VnSimPath();
    VnString plain;
    uint32_t error =
        VnSimNormalisePath(path, CurrentFolder(), allowWildcards, plain, out.extended, out.trailingSeparator);
    if (error) return error;
    out.windowsPath = redirect ? ApplyRedirection(plain) : plain;
    out.drive = UpperDrive(out.windowsPath[0]);
    if (!facts_.FindDrive(out.drive)) return vnwin::kErrorPathNotFound;

    std::string host = DriveFolder(out.drive);
    std::u16string_view tail = out.windowsPath.View().substr(3);
    if (tail.empty()) {
        out.isRoot = true;
        out.hostPath = host;
        out.parentExists = true;
        out.exists = stat(host.c_str(), &out.info) == 0;
        out.isFolder = out.exists;
        return 0;
    }
    const int32_t lastSlash = out.windowsPath.ReverseFind(u'\\');
    out.name = out.writtenName = VnString(out.windowsPath.View().substr(size_t(lastSlash) + 1)).ToUtf8();
    struct stat folderInfo {};
    if (uint32_t error = FindParent(host, lastSlash, out, folderInfo)) return error;
    if (!out.parentExists) return 0;
    if (out.hostParent.size() + 1 + out.name.size() >= PATH_MAX) return vnwin::kErrorFilenameExcedRange;
    if (out.name.size() > NAME_MAX) return vnwin::kErrorFilenameExcedRange;
    // The folder's listing says whether the name is there and how it is
    // stored; only a name that is there costs a status call.
    const std::string stored =
        FindStoredName(out.hostParent, folderInfo, out.windowsPath.View().substr(size_t(lastSlash) + 1));
    if (!stored.empty()) out.name = stored;
    out.hostPath = out.hostParent + "/" + out.name;
    if (!stored.empty() && lstat(out.hostPath.c_str(), &out.info) == 0) {
        out.exists = true;
        if (S_ISLNK(out.info.st_mode)) out.exists = out.isLink = stat(out.hostPath.c_str(), &out.info) == 0;
        out.isFolder = out.exists && S_ISDIR(out.info.st_mode);
    }
    // "file.txt\" names a folder that a file cannot be.
    if (out.exists && !out.isFolder && out.trailingSeparator) return kErrorInvalidName;
    return 0;
}

uint32_t VnSimPaths::FindParent(const std::string& driveFolder, int32_t lastSlash, VnSimPath& out,
                                struct stat& folderInfo) {
    const std::u16string key = FoldName(out.windowsPath.View().substr(0, size_t(lastSlash)));
    auto remembered = folders_.find(key);
    if (remembered != folders_.end()) {
        if (stat(remembered->second.c_str(), &folderInfo) == 0 && S_ISDIR(folderInfo.st_mode)) {
            out.hostParent = remembered->second;
            out.parentExists = true;
            return 0;
        }
        folders_.erase(remembered);
    }
    // As written first, then name by name where the case differs from what
    // is stored; a name on the way that is a file ends the look-up.
    const VnStringArray names = SplitNames(out.windowsPath.View().substr(3));
    std::string parent = driveFolder;
    for (int32_t i = 0; i + 1 < names.GetSize(); ++i) {
        parent += '/';
        parent += names[i].ToUtf8();
    }
    out.hostPath = parent + "/" + out.name;  // where it would be, should the folder be missing
    if (out.hostPath.size() >= PATH_MAX) return vnwin::kErrorFilenameExcedRange;
    bool found = false;
    if (stat(parent.c_str(), &folderInfo) == 0) {
        found = S_ISDIR(folderInfo.st_mode);
    } else if (errno == ENAMETOOLONG) {
        return vnwin::kErrorFilenameExcedRange;
    } else if (errno != ENOTDIR) {
        parent = driveFolder;
        found = stat(parent.c_str(), &folderInfo) == 0;
        for (int32_t i = 0; found && i + 1 < names.GetSize(); ++i) {
            const std::string stored = FindStoredName(parent, folderInfo, names[i].View());
            found = !stored.empty();
            if (found) {
                parent += "/" + stored;
                found = stat(parent.c_str(), &folderInfo) == 0 && S_ISDIR(folderInfo.st_mode);
            }
        }
    }
    if (!found) return 0;
    out.hostParent = parent;
    out.parentExists = true;
    folders_.emplace(key, std::move(parent));
    return 0;
}
