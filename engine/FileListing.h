// Every file below a folder, for the folder copies.
#pragma once

#include <cstdint>

#include "VnArray.h"
#include "VnString.h"

struct VnListedFile {
    VnString path;  // the folder given + the path below it
    uint64_t size = 0;
};

// Lists the files below `folder` (ending in a backslash), recursively with the
// pattern "*.*", each folder's entries in the order the listing gives them and
// a sub-folder's files where the sub-folder is met. Appends to `files` and
// returns the sum of their sizes. A missing folder lists nothing.
uint64_t ListFilesBelow(const VnString& folder, VnCoreArray<VnListedFile>& files);
