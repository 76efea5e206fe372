// The clean-up before copying: files, folders and registry entries that
// earlier versions left behind and this version no longer wants. Nothing here
// stops the install or shows a message; a file that cannot be deleted now is
// queued ("_DELETEFILE|path" in FinalizeInstallList) for after the restart.
//
// Only what is named is deleted: the release lists below (relative to the
// destination), the data folders, the staging folder, the old finalisation
// list, and the paths of the install description's "ObsoleteFiles" list,
// used as given.
#pragma once

#include "VnArray.h"
#include "VnString.h"

// The release lists of this version, relative to the destination folder.
// The folders are deleted as whole trees between the 17th and the 18th file.
const VnStringArray& ObsoleteReleaseFiles();
const VnStringArray& ObsoleteReleaseFolders();
constexpr int32_t kObsoleteFoldersAfterFile = 17;
// The product feature that makes the clean-up delete "Data\", "Skins\" and "Stores\".
constexpr int kDeleteDataFoldersFeature = 84;

// Every step of the clean-up, in order (called by the copy-and-install sequence).
void CleanInstallDirectory();

// Deletes one file when it exists, unregistering a registrable one first
// (when asked); a file that cannot be deleted is queued for the restart.
void DeleteObsoleteFile(const VnString& path, bool unregisterFirst);

// The registry part of the clean-up, in the product's own key (a path below
// HKEY_CURRENT_USER).
void CleanObsoleteRegistryEntries(const VnString& productKeyPath);

// The items of a ";"-separated list that are not empty (blanks kept: a path
// is used as given).
VnStringArray SplitObsoleteFileList(const VnString& list);
