// Where the program goes when the user does not say: the folder of the
// installed copy of this version, the folder of the last install, the
// product's own choice, or the maker's folder under Program Files.
#pragma once

#include "InstallOptions.h"
#include "VnString.h"

// The Program Files folder with a trailing backslash: "ProgramFilesDir" of
// HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion" in the
// installer's own registry view, else "C:\Program Files\".
VnString ProgramFilesFolder();

// The default destination, not yet normalised; empty for a portable install
// (which must be given a folder).
VnString DefaultDestinationFolder(const InstallOptions& options);
