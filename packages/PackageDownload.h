// Fetching a package given as a web or FTP location into a local file. The
// program's file loader does the transfer; until it is part of this program
// the download is a seam that fails with "Not built yet".
#pragma once

#include "VnString.h"

// True when `location` was fetched into `file`; else `error` says why.
bool DownloadPackageFile(const VnString& location, const VnString& file, VnString& error);
