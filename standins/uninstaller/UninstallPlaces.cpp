#include "UninstallPlaces.h"

#include "InstallRecord.h"

namespace {

VnString WithBackslash(const VnString& folder) {
    if (folder.IsEmpty() || folder.EndsWith(u"\\")) return folder;
    return folder + u"\\";
}

// Keys shared with Windows and other programs: their values may be undone
// one by one, but the keys themselves are never deleted.
constexpr const char16_t* kSharedKeys[] = {
    u"Software",
    u"Software\\Classes",
    u"Software\\Wow6432Node",
    u"Software\\Microsoft",
    u"Software\\Microsoft\\Windows",
    u"Software\\Microsoft\\Windows\\CurrentVersion",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\Handlers",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\EventHandlers",
    u"Software\\Clients",
    u"Software\\Clients\\Media",
    u"Software\\RegisteredApplications",
    u"Software\\Microsoft\\Windows NT",
    u"Software\\Microsoft\\Windows NT\\CurrentVersion",
};
constexpr const char16_t* kSharedClassKeys[] = {
    u"CLSID", u"Interface", u"TypeLib", u"AppID", u"Applications", u"Mime", u"Mime\\Database",
    u"Mime\\Database\\Content Type", u"SystemFileAssociations", u"*", u"Directory", u"Folder", u"Drive",
    u"AllFilesystemObjects", u"Wow6432Node",
};

// "Software\Wow6432Node\X" is "Software\X" of the other view.
VnString WithoutViewPart(const VnString& path) {
    if (path.StartsWithNoCase(u"Software\\Wow6432Node\\")) return u"Software\\" + path.Mid(21);
    return path;
}

}  // namespace

bool IsPathBelowOrAt(const VnString& path, const VnString& folder) {
    VnString base = folder;
    base.TrimRight(u'\\');
    if (base.IsEmpty() || !path.StartsWithNoCase(base.View())) return false;
    return path.GetLength() == base.GetLength() || path[base.GetLength()] == u'\\';
}

UninstallPlaces::UninstallPlaces(const VnString& installFolder, const VnString& dataFolder)
    : installFolder_(WithBackslash(installFolder)), dataFolder_(WithBackslash(dataFolder)) {
    IVnSystem& system = VnPlatform().System();
    for (int csidl : {vnwin::kCsidlPrograms, vnwin::kCsidlCommonPrograms, vnwin::kCsidlDesktopDirectory,
                      vnwin::kCsidlCommonDesktopDirectory, vnwin::kCsidlQuickLaunch}) {
        const VnString folder = system.GetSpecialFolder(csidl);
        if (!folder.IsEmpty()) linkFolders_.Add(WithBackslash(folder));
    }
    const VnString appData = system.GetSpecialFolder(vnwin::kCsidlAppData);
    if (!appData.IsEmpty())
        linkFolders_.Add(WithBackslash(appData) + u"Microsoft\\Internet Explorer\\Quick Launch\\");
    windowsFolder_ = WithBackslash(system.GetWindowsDirectory());
    for (int csidl : {vnwin::kCsidlProgramFiles, vnwin::kCsidlProgramFilesX86, vnwin::kCsidlAppData,
                      vnwin::kCsidlLocalAppData, vnwin::kCsidlCommonAppData, vnwin::kCsidlPersonal,
                      vnwin::kCsidlDesktopDirectory, vnwin::kCsidlPrograms, vnwin::kCsidlCommonPrograms,
                      vnwin::kCsidlStartMenu, vnwin::kCsidlCommonStartMenu, vnwin::kCsidlMyMusic}) {
        const VnString folder = system.GetSpecialFolder(csidl);
        if (!folder.IsEmpty()) commonFolders_.Add(WithBackslash(folder));
    }
    VnString profile = system.GetSpecialFolder(0x0028);  // CSIDL_PROFILE
    profile.TrimRight(u'\\');
    if (!profile.IsEmpty()) {
        commonFolders_.Add(profile + u"\\");
        const int32_t cut = profile.ReverseFind(u'\\');
        if (cut > 2) commonFolders_.Add(profile.Left(cut + 1));  // the folder of all profiles
    }
}

UninstallPlaces::UninstallPlaces(const VnString& installFolder, const VnString& dataFolder,
                                 const VnStringArray& linkFolders, const VnString& windowsFolder)
    : installFolder_(WithBackslash(installFolder)),
      dataFolder_(WithBackslash(dataFolder)),
      windowsFolder_(WithBackslash(windowsFolder)) {
    for (const VnString& folder : linkFolders) linkFolders_.Add(WithBackslash(folder));
    commonFolders_ = linkFolders_;
}

bool UninstallPlaces::IsCleanPath(const VnString& path, VnString& why) {
    if (path.GetLength() < 4 || path[1] != u':' || path[2] != u'\\' ||
        !((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'))) {
        why = VN_LIT(u"not a full path on a drive");
        return false;
    }
    if (path.FindOneOf(u"/*?\"<>|") >= 0 || path.Find(u':', 2) >= 0) {
        why = VN_LIT(u"holds characters a path cannot hold");
        return false;
    }
    for (const VnString& part : VnStringArray::Split(path.Mid(3).View(), u"\\")) {
        VnString trimmed = part;
        trimmed.TrimRight(u' ');
        trimmed.TrimRight(u'.');
        if (trimmed.IsEmpty()) {  // "", ".", "..", and names Windows would cut to nothing
            why = VN_LIT(u"has an empty, \".\" or \"..\" part");
            return false;
        }
    }
    return true;
}

bool UninstallPlaces::InstallFolderIsSafe(VnString& why) const { return IsSafeInstallFolder(installFolder_, why); }

bool UninstallPlaces::AddEarlierInstallFolder(const VnString& folder, VnString& why) {
    const VnString earlier = WithBackslash(folder);
    if (!IsSafeInstallFolder(earlier, why)) return false;
    if (VnPlatform().Files().GetFileAttributes(earlier + kInstallRecordFileName) == vnwin::kInvalidFileAttributes) {
        why = VN_LIT(u"its own installation record is not there");
        return false;
    }
    earlierFolders_.Add(earlier);
    return true;
}

bool UninstallPlaces::InProgramFolder(const VnString& path) const {
    if (IsPathBelowOrAt(path, installFolder_)) return true;
    for (const VnString& earlier : earlierFolders_)
        if (IsPathBelowOrAt(path, earlier)) return true;
    return false;
}

bool UninstallPlaces::AboveProgramFolder(const VnString& path) const {
    if (IsPathBelowOrAt(installFolder_, path)) return true;
    for (const VnString& earlier : earlierFolders_)
        if (IsPathBelowOrAt(earlier, path)) return true;
    return false;
}

bool UninstallPlaces::IsSafeInstallFolder(const VnString& installFolder, VnString& why) const {
    VnString folder = installFolder;
    folder.TrimRight(u'\\');
    if (!IsCleanPath(folder, why)) return false;
    if (IsPathBelowOrAt(folder, windowsFolder_)) {
        why = VN_LIT(u"it is the Windows folder or below it");
        return false;
    }
    for (const VnString& common : commonFolders_) {
        VnString base = common;
        base.TrimRight(u'\\');
        if (folder.EqualsNoCase(base) || IsPathBelowOrAt(base, folder)) {
            why = VN_LIT(u"it is a folder Windows keeps for everyone, or holds one");
            return false;
        }
    }
    return true;
}

UninstallPlace UninstallPlaces::Classify(const VnString& path, bool isLink, VnString& why) const {
    if (!IsCleanPath(path, why)) return UninstallPlace::Refused;
    if (IsPathBelowOrAt(path, windowsFolder_)) return UninstallPlace::Shared;
    if (InProgramFolder(path)) return UninstallPlace::Program;
    if (!dataFolder_.IsEmpty() && IsPathBelowOrAt(path, dataFolder_)) return UninstallPlace::ProgramData;
    if (isLink) {
        for (const VnString& common : commonFolders_) {
            if (IsPathBelowOrAt(common, path)) {
                why = VN_LIT(u"a folder Windows keeps for everyone, or one that holds one");
                return UninstallPlace::Refused;
            }
        }
        // A folder the install made on the way to its own ("...\V Arnel"
        // above "...\V Arnel\Tunaro 33"): removed once empty.
        if (AboveProgramFolder(path) && BelowCommonFolder(path)) return UninstallPlace::Program;
        if (!dataFolder_.IsEmpty() && IsPathBelowOrAt(dataFolder_, path) && BelowCommonFolder(path))
            return UninstallPlace::ProgramData;
        for (const VnString& folder : linkFolders_) {
            // Strictly below a link folder: the folder itself is never ours.
            if (IsPathBelowOrAt(path, folder) && path.GetLength() > folder.GetLength())
                return UninstallPlace::Link;
        }
    }
    why = VN_LIT(u"outside the places the install writes");
    return UninstallPlace::Refused;
}

bool UninstallPlaces::BelowCommonFolder(const VnString& path) const {
    for (const VnString& common : commonFolders_)
        if (IsPathBelowOrAt(path, common) && path.GetLength() >= common.GetLength()) return true;
    return false;
}

bool UninstallPlaces::IsAllowedKey(VnRegRoot root, const VnString& path, bool deleting, VnString& why) {
    VnString key = path;
    key.Trim(u'\\');
    if (key.IsEmpty() || key.Contains(u"\\\\")) {
        why = VN_LIT(u"an empty key path");
        return false;
    }
    if (root == VnRegRoot::ClassesRoot) {
        if (!deleting) return true;
        for (const char16_t* shared : kSharedClassKeys) {
            if (key.EqualsNoCase(shared)) {
                why = VN_LIT(u"a key other programs share");
                return false;
            }
        }
        return true;
    }
    if (root != VnRegRoot::LocalMachine && root != VnRegRoot::CurrentUser) {
        why = VN_LIT(u"a registry root the install does not write");
        return false;
    }
    if (!IsPathBelowOrAt(key, u"Software")) {
        why = VN_LIT(u"outside \"Software\"");
        return false;
    }
    if (!deleting) return true;
    const VnString plain = WithoutViewPart(key);
    for (const char16_t* shared : kSharedKeys) {
        if (plain.EqualsNoCase(shared) || key.EqualsNoCase(shared)) {
            why = VN_LIT(u"a key other programs share");
            return false;
        }
    }
    if (IsPathBelowOrAt(plain, u"Software\\Classes")) {
        const VnString classKey = plain.Mid(17);
        for (const char16_t* shared : kSharedClassKeys) {
            if (classKey.EqualsNoCase(shared)) {
                why = VN_LIT(u"a key other programs share");
                return false;
            }
        }
    }
    return true;
}
