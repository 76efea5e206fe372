#include "SimFacts.h"

#include <chrono>

#include "VnPlatform.h"

namespace {

constexpr uint64_t kGigabyte = 1024ull * 1024 * 1024;
// Simulated machines have been up for a while when the installer starts.
constexpr uint64_t kBootTickMilliseconds = 3'600'000;
// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochFileTime = 116444736000000000ull;

VnString WithoutLongPrefix(const VnString& path) {
    VnString plain = path.StartsWith(u"\\\\?\\UNC\\") ? u"\\\\" + path.Mid(8)
                     : path.StartsWith(u"\\\\?\\")    ? path.Mid(4)
                                                      : path;
    while (plain.GetLength() > 3 && plain.EndsWith(u"\\")) plain.Truncate(plain.GetLength() - 1);
    return plain;
}

// "kernel32" and "C:\Windows\System32\KERNEL32.DLL" both name "kernel32.dll".
VnString LibraryFileName(const VnString& path) {
    VnString name = path.Mid(path.ReverseFind(u'\\') + 1);
    if (name.Find(u'.') < 0) name += u".dll";
    return name;
}

}  // namespace

VnSimFacts VnSimFacts::Defaults() {
    VnSimFacts facts;
    facts.FillMissingDefaults();
    return facts;
}

void VnSimFacts::FillMissingDefaults() {
    if (drives.IsEmpty()) drives.Add({u'C', 200 * kGigabyte, 500 * kGigabyte, false});
    VnString profile = u"C:\\Users\\" + userName;
    VnString roaming = profile + u"\\AppData\\Roaming";
    VnString startMenu = roaming + u"\\Microsoft\\Windows\\Start Menu";
    VnString commonStartMenu = VN_LIT(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu");
    VnString programFiles = is64BitWindows ? VN_LIT(u"C:\\Program Files (x86)") : VN_LIT(u"C:\\Program Files");
    // What a 32-bit process is told: on 64-bit Windows both program-files
    // folders are the x86 one, and the x86 system folder is SysWOW64.
    const VnSimSpecialFolder standard[] = {
        {vnwin::kCsidlDesktop, profile + u"\\Desktop"},
        {vnwin::kCsidlPrograms, startMenu + u"\\Programs"},
        {vnwin::kCsidlPersonal, profile + u"\\Documents"},
        {vnwin::kCsidlStartMenu, startMenu},
        {vnwin::kCsidlMyMusic, profile + u"\\Music"},
        {vnwin::kCsidlMyVideo, profile + u"\\Videos"},
        {vnwin::kCsidlDesktopDirectory, profile + u"\\Desktop"},
        {vnwin::kCsidlFonts, windowsFolder + u"\\Fonts"},
        {vnwin::kCsidlCommonStartMenu, commonStartMenu},
        {vnwin::kCsidlCommonPrograms, commonStartMenu + u"\\Programs"},
        {vnwin::kCsidlCommonDesktopDirectory, VN_LIT(u"C:\\Users\\Public\\Desktop")},
        {vnwin::kCsidlAppData, roaming},
        {vnwin::kCsidlLocalAppData, profile + u"\\AppData\\Local"},
        {vnwin::kCsidlCommonAppData, VN_LIT(u"C:\\ProgramData")},
        {vnwin::kCsidlWindows, windowsFolder},
        {vnwin::kCsidlSystem, windowsFolder + u"\\system32"},
        {vnwin::kCsidlProgramFiles, programFiles},
        {vnwin::kCsidlMyPictures, profile + u"\\Pictures"},
        {vnwin::kCsidlSystemX86, windowsFolder + (is64BitWindows ? u"\\SysWOW64" : u"\\system32")},
        {vnwin::kCsidlProgramFilesX86, programFiles},
        {vnwin::kCsidlCommonMusic, VN_LIT(u"C:\\Users\\Public\\Music")},
        {vnwin::kCsidlCommonPictures, VN_LIT(u"C:\\Users\\Public\\Pictures")},
        {vnwin::kCsidlCommonVideo, VN_LIT(u"C:\\Users\\Public\\Videos")},
        {vnwin::kCsidlQuickLaunch, roaming + u"\\Microsoft\\Internet Explorer\\Quick Launch"},
        {kCsidlProfile, profile},
    };
    // A folder the facts name, even as empty (a machine without it), keeps
    // what they say; only folders they leave out get the standard place.
    for (const auto& folder : standard) {
        bool named = false;
        for (const auto& given : folders) named = named || given.csidl == folder.csidl;
        if (!named) folders.Add(folder);
    }
}

const VnSimDrive* VnSimFacts::FindDrive(char16_t letter) const {
    if (letter >= u'a' && letter <= u'z') letter = char16_t(letter - u'a' + u'A');
    for (const auto& drive : drives)
        if (drive.letter == letter) return &drive;
    return nullptr;
}

VnString VnSimFacts::SpecialFolder(int csidl) const {
    csidl &= ~0x8000;  // CSIDL_FLAG_CREATE
    for (const auto& folder : folders)
        if (folder.csidl == csidl) return folder.path;
    return VnString();
}

bool VnSimFacts::IsKeyDown(int virtualKey) const { return keysDown.Find(virtualKey) >= 0; }

bool VnSimFacts::IsLibraryMissing(const VnString& fileName) const {
    VnString wanted = LibraryFileName(fileName);
    for (const VnString& missing : missingLibraries)
        if (LibraryFileName(missing).EqualsNoCase(wanted.View())) return true;
    return false;
}

bool VnSimFacts::IsExportMissing(const VnString& fileName, const char* exportName) const {
    VnString library = LibraryFileName(fileName);
    VnString name = VnString::FromUtf8(exportName ? exportName : "");
    for (const VnString& missing : missingExports) {
        int32_t bang = missing.Find(u'!');
        if (bang < 0) continue;
        if (LibraryFileName(missing.Left(bang)).EqualsNoCase(library.View()) && missing.Mid(bang + 1) == name)
            return true;
    }
    return false;
}

uint64_t VnSimFacts::TickCount64() const {
    ++run.elapsedMilliseconds;
    return kBootTickMilliseconds + run.elapsedMilliseconds;
}

uint64_t VnSimFacts::FileTimeNow() const {
    if (!run.openedFileTime) {
        auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
        run.openedFileTime =
            kUnixEpochFileTime + uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch).count()) * 10;
    }
    return run.openedFileTime + run.elapsedMilliseconds * 10'000;
}

bool VnSimFacts::SamePath(const VnString& a, const VnString& b) {
    return WithoutLongPrefix(a).EqualsNoCase(WithoutLongPrefix(b).View());
}

bool VnSimFacts::ListHasPath(const VnStringArray& list, const VnString& path) {
    for (const VnString& entry : list)
        if (SamePath(entry, path)) return true;
    return false;
}

bool VnSimFacts::FillsDiskWhenWritten(const VnString& path) const {
    const VnString written = WithoutLongPrefix(path);
    for (const VnString& entry : diskFullAt) {
        const VnString file = WithoutLongPrefix(entry);
        if (written.StartsWithNoCase(file.View()) &&
            (written.GetLength() == file.GetLength() || written[file.GetLength()] == u'.'))
            return true;
    }
    return false;
}
