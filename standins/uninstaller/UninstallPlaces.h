// Where the uninstaller may remove things. The record is only a file in the
// installation folder: a hand-edited or damaged one must never make the
// uninstaller delete anything outside the places an install of ours writes.
// Every path and registry key of the record passes through these rules.
#pragma once

#include "VnArray.h"
#include "VnPlatform.h"
#include "VnString.h"

enum class UninstallPlace {
    Program,      // below the installation folder (or an earlier one the record names): removed
    Link,         // a link, or the product's folder of links, in a Start Menu, desktop or Quick Launch folder: removed
    ProgramData,  // below the program's data folder (settings and library): removed only when asked
    Shared,       // below the Windows folder (system files, fonts other programs may use): kept
    Refused,      // anywhere else, or not a clean full path: never touched
};

class UninstallPlaces {
public:
    // `installFolder` is the uninstaller's own folder; `dataFolder` the
    // program's data folder (empty when unknown). Both end in a backslash.
    // The link and Windows folders come from the platform.
    UninstallPlaces(const VnString& installFolder, const VnString& dataFolder);
    // The same with the folders given (tests).
    UninstallPlaces(const VnString& installFolder, const VnString& dataFolder, const VnStringArray& linkFolders,
                    const VnString& windowsFolder);

    // False (with the reason) when the installation folder itself is no
    // place to uninstall from: a drive root, the Windows folder or a folder
    // Windows keeps for everyone (Program Files, a profile, ...).
    bool InstallFolderIsSafe(VnString& why) const;

    // Adds the folder of an earlier install that a later one took over
    // (the record names it) as a place of the program, when it passes the
    // same rules as the installation folder and still holds its own record.
    // False, with the reason, otherwise.
    bool AddEarlierInstallFolder(const VnString& folder, VnString& why);
    const VnStringArray& EarlierInstallFolders() const { return earlierFolders_; }

    // Where `path` lies; `isLink` for the record's link entries and for
    // folders (which may hold links, or lie on the way to the installation
    // or data folder). `why` says why a path was refused.
    UninstallPlace Classify(const VnString& path, bool isLink, VnString& why) const;

    // Whether the uninstaller may change a value of, or delete (when empty),
    // this registry key: below HKEY_CLASSES_ROOT, or below "Software" of
    // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, and never one of the keys
    // Windows and other programs share (the "Uninstall" key, "Run", "CLSID", ...).
    static bool IsAllowedKey(VnRegRoot root, const VnString& path, bool deleting, VnString& why);

    // A full Windows path ("X:\..."), without ".", ".." or empty parts,
    // wildcards, or a "\\?\" prefix; false with the reason otherwise.
    static bool IsCleanPath(const VnString& path, VnString& why);

    const VnString& InstallFolder() const { return installFolder_; }
    const VnString& DataFolder() const { return dataFolder_; }

private:
    // Strictly below one of the folders Windows keeps for everyone.
    bool BelowCommonFolder(const VnString& path) const;
    bool IsSafeInstallFolder(const VnString& folder, VnString& why) const;
    // Below or at the installation folder or an earlier one.
    bool InProgramFolder(const VnString& path) const;
    // A folder on the way to the installation folder or an earlier one.
    bool AboveProgramFolder(const VnString& path) const;

    VnString installFolder_, dataFolder_, windowsFolder_;
    VnStringArray earlierFolders_;
    VnStringArray linkFolders_, commonFolders_;
};

// True when `path` is `folder` or lies below it (compared without regard to
// case; `folder` with or without its trailing backslash).
bool IsPathBelowOrAt(const VnString& path, const VnString& folder);
