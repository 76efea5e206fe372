// Path helpers of the installer application: existence tests through the
// platform layer and the resolution of folder values read from configuration.
#pragma once

#include "VnString.h"

// True when the path names an existing file (not a folder).
bool FileExists(const VnString& path);
// True when the path names an existing folder.
bool FolderExists(const VnString& path);

// The folder with exactly one trailing backslash (an empty text stays empty).
VnString WithTrailingBackslash(const VnString& folder);

// Resolves a folder value read from a configuration file that lies in
// `baseFolder`. A drive path ("X:\"), a share path ("\\") or a URL ("://") is
// taken as it is; anything else is appended to `baseFolder`, with "." and ".."
// segments collapsed (never above the drive or share). Trailing backslashes
// are removed, except the one of a drive root.
VnString ResolveFolderValue(const VnString& baseFolder, const VnString& value);
