// Copying a folder with everything below it, for the settings steps: files
// are copied over existing ones, folders are created (empty ones too). What
// cannot be read or written (a locked file, a folder that cannot be listed)
// is logged and skipped; the rest is still copied. Nothing in the source is
// changed.
#pragma once

#include "VnString.h"

struct FolderTreeCopyResult {
    int filesCopied = 0;
    int failures = 0;  // files or folders skipped, each logged
};

// `source` and `destination` are folders (with or without a trailing
// backslash). A missing source copies nothing.
FolderTreeCopyResult CopyFolderTree(const VnString& source, const VnString& destination);

// Copies the folder `sourceRoot` + `name` to `destinationRoot` + `name` when
// the source exists; roots end in a backslash. True when it was copied whole.
bool CopyDataSubfolder(const VnString& sourceRoot, const VnString& destinationRoot, const VnString& name);
