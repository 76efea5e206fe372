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
// The upper case of an ASCII character (as the shared table has it).
char16_t UpperAscii(char16_t c) { return char16_t(c - (char16_t(c - u'a') < 26 ? 32 : 0)); }
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return uint8_t(c) < 0x80; });
}

// Characters NTFS refuses in a name (besides the control characters and the
// backslash); wildcards only where a pattern may be.
constexpr char16_t kRefusedMarks[] = {u'<', u'>', u':', u'"', u'|', u'/'};
constexpr char16_t kWildcards[] = {u'*', u'?'};
enum : uint8_t { kNameRefused = 1, kNameWildcard = 2 };
constexpr std::array<uint8_t, 128> kAsciiNameClasses = [] {
    std::array<uint8_t, 128> classes{};
    for (char c = 0; c < 32; ++c) classes[size_t(c)] = kNameRefused;
    for (char16_t c : kRefusedMarks) classes[c] = kNameRefused;
    classes['\\'] = kNameRefused;
    for (char16_t c : kWildcards) classes[c] = kNameWildcard;
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

// The names of "C:\\names" hold nothing that needs a closer look: no refused
// character or wildcard, no name that is empty or starts with a dot, none
// too long (the whole is not), and no trailing dot, blank or backslash. A
// test without branches (each comparison a mask of all ones or none), which
// the compiler widens to many characters at a time; false only means "look
// closer".
bool IsPlainlyNormalTail(std::u16string_view path) {
    if (path.size() <= 3 || path.size() - 3 > size_t(kMaxNameLength)) return false;
    const char16_t* chars = path.data();
    uint16_t odd = 0;
    for (size_t i = 3; i < path.size(); ++i) {
        const char16_t c = chars[i];
        uint16_t seen = -uint16_t(c < 0x20);
        seen |= -uint16_t(chars[i - 1] == u'\\') & -uint16_t((c == u'\\') | (c == u'.'));  // empty or dotted name
        for (char16_t mark : kRefusedMarks) seen |= -uint16_t(c == mark);
        for (char16_t mark : kWildcards) seen |= -uint16_t(c == mark);
        odd |= seen;
    }
    const char16_t last = path.back();
    return !odd && last != u'.' && last != u' ' && last != u'\\';
}

// A full path already in its final form ("C:\\a\\b": backslashes only, one
// between names, no "." or "..", no trailing dot or blank, every name
// valid), the usual case, which needs no splitting and joining. The quick
// test above settles most paths; the rest take one pass name by name.
bool IsAlreadyNormal(std::u16string_view path, bool allowWildcards) {
    if (path.size() < 3 || !HasDrivePrefix(path) || path[2] != u'\\') return false;
    if (path.size() == 3 || IsPlainlyNormalTail(path)) return true;
    const auto isPlainName = [](std::u16string_view name) {
        return !name.empty() && name.size() <= size_t(kMaxNameLength) && name != u"." && name != u"..";
    };
    size_t start = 3;
    bool wildcard = false;  // in the name read so far
    for (size_t i = 3; i < path.size(); ++i) {
        const char16_t c = path[i];
        if (c >= 128 || !kAsciiNameClasses[c]) continue;
        if (c == u'\\') {
            if (wildcard || !isPlainName(path.substr(start, i - start))) return false;
            start = i + 1;
        } else if (kAsciiNameClasses[c] & kNameRefused) {
            return false;
        } else {
            wildcard = true;
        }
    }
    const std::u16string_view last = path.substr(start);
    if ((wildcard && !allowWildcards) || !isPlainName(last)) return false;
    return last.back() != u'.' && last.back() != u' ';
}

uint32_t NormalisePlain(VnString path, const VnString& currentFolder, bool allowWildcards, VnString& normalised,
                        bool& trailingSeparator) {
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
    if (IsAlreadyNormal(path.View(), allowWildcards)) {
        if (path.GetLength() >= kMaxPath) return vnwin::kErrorPathNotFound;
        normalised = path;
        return 0;
    }
    return NormalisePlain(path, currentFolder, allowWildcards, normalised, trailingSeparator);
}

VnSimPaths::VnSimPaths(const VnSimFacts& facts, std::string machineFolder)
    : facts_(facts), machineFolder_(std::move(machineFolder)), drivesFolder_(machineFolder_ + "/drives") {}

std::u16string VnSimPaths::FoldName(std::u16string_view name) {
    std::u16string folded;
    FoldInto(folded, name);
    return folded;
}

void VnSimPaths::FoldInto(std::u16string& folded, std::u16string_view name) {
    folded.resize(name.size());
    char16_t* to = folded.data();
    // ASCII, the usual case, in a loop the compiler widens; a name with any
    // other character again through the shared table.
    char16_t all = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        all |= name[i];
        to[i] = UpperAscii(name[i]);
    }
    if (all < 0x80) return;
    const VnStringGlobals& g = VnStringGlobals::Get();
    for (size_t i = 0; i < name.size(); ++i) to[i] = g.Upper(name[i]);
}

void VnSimPaths::FoldUtf8Into(std::u16string& folded, std::string_view name) {
    if (!IsAscii(name)) return FoldInto(folded, VnString::FromUtf8(name).View());
    folded.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i) folded[i] = UpperAscii(char16_t(name[i]));
}

std::string VnSimPaths::DriveFolder(char16_t drive) const {
    std::string folder;
    AppendDriveFolder(folder, drive);
    return folder;
}

void VnSimPaths::AppendDriveFolder(std::string& to, char16_t drive) const {
    to.reserve(to.size() + drivesFolder_.size() + 2);
    to += drivesFolder_;
    to += '/';
    to += char(UpperDrive(drive));
}

const VnString& VnSimPaths::CurrentFolder() const {
    // A process started from Explorer begins in its own folder. Worked out
    // again only when the installer's path has changed: the same buffer
    // (shared, so never written in place) or the same text.
    const VnString& installer = facts_.installerPath;
    if (currentFolderKnown_ && (installer.c_str() == currentFolderOf_.c_str() || installer == currentFolderOf_))
        return currentFolder_;
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

void VnSimPaths::ApplyRedirection(VnString& path) const {
    if (!facts_.is64BitWindows || !facts_.run.wow64FsRedirection) return;
    const VnString& windows = facts_.windowsFolder;
    // Most paths: nothing to build, and most tell by the character after
    // where the Windows folder would end.
    if (path.GetLength() <= windows.GetLength() || path[windows.GetLength()] != u'\\' ||
        !path.StartsWithNoCase(windows.View()))
        return;
    VnString rest;
    if (IsAtOrBelow(path, windows + u"\\System32", rest)) {
        if (!IsExemptFromRedirection(rest)) path = windows + u"\\SysWOW64" + rest;
    } else if (IsAtOrBelow(path, windows + u"\\Sysnative", rest)) {
        path = windows + u"\\System32" + rest;
    }
}

uint32_t VnSimPaths::Normalise(const VnString& path, VnString& normalised, bool redirect) const {
    bool extended = false, trailing = false;
    VnString plain;
    uint32_t error = VnSimNormalisePath(path, CurrentFolder(), false, plain, extended, trailing);
    if (error) return error;
    if (redirect) ApplyRedirection(plain);
    normalised = plain;
    return 0;
}

VnSimPaths::Listing& VnSimPaths::ListingOf(const std::string& hostFolder, const struct stat& folderInfo) {
    return Refreshed(listings_[hostFolder], hostFolder, folderInfo);
}

VnSimPaths::Listing& VnSimPaths::Refreshed(Listing& listing, const std::string& hostFolder,
                                           const struct stat& folderInfo) {
    if (listing.read && SameTime(listing.modified, folderInfo.st_mtim) && listing.size == folderInfo.st_size)
        return listing;
    listing.read = true;
    listing.byFoldedName.clear();
    listing.modified = folderInfo.st_mtim;
    listing.size = folderInfo.st_size;
    if (DIR* dir = opendir(hostFolder.c_str())) {
        std::u16string folded;
        while (dirent* entry = readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            FoldUtf8Into(folded, name);
            listing.byFoldedName.emplace(folded, name);
        }
        closedir(dir);
    }
    return listing;
}

const std::string* VnSimPaths::FindStoredName(const Listing& listing, std::u16string_view foldedName) {
    auto found = listing.byFoldedName.find(foldedName);
    return found == listing.byFoldedName.end() ? nullptr : &found->second;
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
        for (auto& [folded, remembered] : folders_)
            if (remembered.listing == &found->second) remembered.listing = nullptr;
        listings_.erase(found);
        return;
    }
    FoldUtf8Into(folded_, name);
    if (added)
        found->second.byFoldedName.insert_or_assign(folded_, name);
    else
        found->second.byFoldedName.erase(folded_);
    found->second.modified = info.st_mtim;
    found->second.size = info.st_size;
}

VnString VnSimPaths::WindowsPathOf(const std::string& hostPath) const {
    if (hostPath.size() < drivesFolder_.size() + 2 || hostPath.compare(0, drivesFolder_.size(), drivesFolder_) != 0)
        return VnString();
    std::string_view rest = std::string_view(hostPath).substr(drivesFolder_.size() + 2);  // after "/C"
    if (!rest.empty()) rest.remove_prefix(1);
    // Written straight into the result; the rest read as UTF-8 only when it
    // is not plain ASCII.
    const bool ascii = IsAscii(rest);
    const VnString tail = ascii ? VnString() : VnString::FromUtf8(rest);
    const int32_t length = ascii ? int32_t(rest.size()) : tail.GetLength();
    VnString path;
    char16_t* chars = path.GetBuffer(3 + length);
    chars[0] = char16_t(hostPath[drivesFolder_.size() + 1]);
    chars[1] = u':';
    chars[2] = u'\\';
    for (int32_t i = 0; i < length; ++i) {
        const char16_t c = ascii ? char16_t(rest[size_t(i)]) : tail[i];
        chars[3 + i] = c == u'/' ? u'\\' : c;
    }
    path.ReleaseBuffer(3 + length);
    return path;
}

uint32_t VnSimPaths::Resolve(const VnString& path, VnSimPath& out, bool allowWildcards, bool redirect) {
    out = VnSimPath();
    uint32_t error = VnSimNormalisePath(path, CurrentFolder(), allowWildcards, out.windowsPath, out.extended,
                                        out.trailingSeparator);
    if (error) {
        out.windowsPath.Empty();
        return error;
    }
    if (redirect) ApplyRedirection(out.windowsPath);
    const std::u16string_view windowsPath = out.windowsPath.View();
    out.drive = UpperDrive(windowsPath[0]);
    if (!facts_.FindDrive(out.drive)) return vnwin::kErrorPathNotFound;

    if (windowsPath.size() == 3) {
        out.isRoot = true;
        AppendDriveFolder(out.hostPath, out.drive);
        out.parentExists = true;
        out.exists = stat(out.hostPath.c_str(), &out.info) == 0;
        out.isFolder = out.exists;
        return 0;
    }
    const size_t lastSlash = windowsPath.rfind(u'\\');
    VnAppendUtf8(out.name, windowsPath.substr(lastSlash + 1));
    out.writtenName = out.name;
    FoldInto(folded_, windowsPath);  // once for the folder and the name
    struct stat folderInfo {};
    Listing* listing = nullptr;
    if (uint32_t error = FindParent(lastSlash, out, folderInfo, listing)) return error;
    if (!out.parentExists) return 0;
    if (out.hostParent.size() + 1 + out.name.size() >= PATH_MAX) return vnwin::kErrorFilenameExcedRange;
    if (out.name.size() > NAME_MAX) return vnwin::kErrorFilenameExcedRange;
    // The folder's listing says whether the name is there and how it is
    // stored; only a name that is there costs a status call.
    const std::string* stored = FindStoredName(Refreshed(*listing, out.hostParent, folderInfo),
                                               std::u16string_view(folded_).substr(lastSlash + 1));
    if (stored) out.name = *stored;
    out.hostPath.reserve(out.hostParent.size() + 1 + out.name.size());
    out.hostPath.assign(out.hostParent);
    out.hostPath += '/';
    out.hostPath += out.name;
    if (stored && lstat(out.hostPath.c_str(), &out.info) == 0) {
        out.exists = true;
        if (S_ISLNK(out.info.st_mode)) out.exists = out.isLink = stat(out.hostPath.c_str(), &out.info) == 0;
        out.isFolder = out.exists && S_ISDIR(out.info.st_mode);
    }
    // "file.txt\" names a folder that a file cannot be.
    if (out.exists && !out.isFolder && out.trailingSeparator) return kErrorInvalidName;
    return 0;
}

uint32_t VnSimPaths::FindParent(size_t lastSlash, VnSimPath& out, struct stat& folderInfo, Listing*& listing) {
    const std::u16string_view key = std::u16string_view(folded_).substr(0, lastSlash);
    auto remembered = folders_.find(key);
    if (remembered != folders_.end()) {
        RememberedFolder& folder = remembered->second;
        if (stat(folder.hostFolder.c_str(), &folderInfo) == 0 && S_ISDIR(folderInfo.st_mode)) {
            out.hostParent = folder.hostFolder;
            out.parentExists = true;
            if (!folder.listing) folder.listing = &listings_[folder.hostFolder];
            listing = folder.listing;
            return 0;
        }
        folders_.erase(remembered);
    }
    // As written first, then name by name where the case differs from what
    // is stored; a name on the way that is a file ends the look-up.
    std::string parent;
    AppendDriveFolder(parent, out.drive);
    const size_t driveFolderLength = parent.size();
    if (lastSlash > 2) {
        parent += '/';
        VnAppendUtf8(parent, out.windowsPath.View().substr(3, lastSlash - 3));
        std::replace(parent.begin() + ptrdiff_t(driveFolderLength), parent.end(), '\\', '/');
    }
    out.hostPath = parent + "/" + out.name;  // where it would be, should the folder be missing
    if (out.hostPath.size() >= PATH_MAX) return vnwin::kErrorFilenameExcedRange;
    bool found = false;
    if (stat(parent.c_str(), &folderInfo) == 0) {
        found = S_ISDIR(folderInfo.st_mode);
    } else if (errno == ENAMETOOLONG) {
        return vnwin::kErrorFilenameExcedRange;
    } else if (errno != ENOTDIR) {
        parent.resize(driveFolderLength);
        found = stat(parent.c_str(), &folderInfo) == 0;
        for (size_t start = 3; found && start < key.size();) {
            const size_t end = std::min(key.find(u'\\', start), key.size());
            const std::string* stored =
                FindStoredName(ListingOf(parent, folderInfo), key.substr(start, end - start));
            found = stored != nullptr;
            if (found) {
                parent += '/';
                parent += *stored;
                found = stat(parent.c_str(), &folderInfo) == 0 && S_ISDIR(folderInfo.st_mode);
            }
            start = end + 1;
        }
    }
    if (!found) return 0;
    out.hostParent = parent;
    out.parentExists = true;
    listing = &listings_[parent];
    folders_.emplace(key, RememberedFolder{std::move(parent), listing});
    return 0;
}
