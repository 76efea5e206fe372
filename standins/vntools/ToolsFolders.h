// Folder paths as the library uses them: Windows paths whose folders end in
// exactly one backslash, created through the platform so that the simulated
// machine sees them.
#pragma once

#include "VnString.h"

// The folder with exactly one trailing backslash; an empty text stays empty.
VnString ToolsFolderPath(const VnString& folder);
// The folder part of a file path, ending in a backslash ("" without one).
VnString ToolsFolderOf(const VnString& filePath);
// The last component of a path.
VnString ToolsFileNameOf(const VnString& path);
// Creates the folder and every missing folder above it; true when it exists afterwards.
bool ToolsMakeFolderTree(const VnString& folder);
