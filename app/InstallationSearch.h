// The search for earlier installations in the Windows uninstall list, and the
// test whether the installed copy is already current.
//
// An uninstall entry belongs to the product when its subkey name begins with
// the product name in form 3 and its "Publisher" is "Varnel, Inc." or
// "V. Arnel, Inc.". It is the entry of this very version when its name is the
// product name in form 4, with " (64-bit)" appended in the 64-bit view.
// Key names are compared without regard to case, as Windows compares them.
#pragma once

#include "InstallOptions.h"
#include "ToolsInterface.h"
#include "VnArray.h"
#include "VnString.h"

constexpr char16_t kUninstallListKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char16_t kUninstall64BitSuffix[] = u" (64-bit)";

struct UninstallEntryFound {
    VnString keyName;
    VnString installLocation;  // as stored; empty when there is none
    bool thisVersion = false;
};

struct UninstallSearchResult {
    VnCoreArray<UninstallEntryFound> entries;  // in enumeration order
    int32_t thisVersionIndex = -1;             // the first entry of this version, or -1

    bool HasThisVersion() const { return thisVersionIndex >= 0; }
    bool HasOtherVersions() const;
};

// The product's entries in the uninstall list of the installer's own registry
// view, or of the 64-bit view. Missing keys and values count as no entry.
UninstallSearchResult FindUninstallEntries(ProductInformation& product, bool view64);

// Fills SameVersionInstalled, OtherVersionInstalled, UninstallKeyName and
// OccupiedFolders of `options` from the installer's own view and, on 64-bit
// Windows, the 64-bit view as well. Does nothing for a portable install.
// Only an entry of this version in the installer's own view names the
// uninstall key.
void DetectExistingInstallations(ProductInformation& product, InstallOptions& options);
// The same with the loaded tools library's product and the shared options;
// nothing happens without the library.
void DetectExistingInstallations();

// True only when downgrades are not allowed, this version is installed, and
// the installed main executable (program folder + executable name) has a file
// version equal to or above the payload's (installer folder + "Playmoor\" +
// executable name). Any file or version that cannot be read makes it false.
// The payload's copy of the main executable: the installer's folder +
// "Playmoor\" + the executable name.
VnString PayloadExecutablePath(ProductInformation& product);

bool IsInstalledVersionCurrent(ProductInformation& product, const InstallOptions& options);
bool IsInstalledVersionCurrent();
