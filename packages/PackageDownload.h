// Fetching a package given as a web or FTP location into a local file,
// through the loader the dependency step downloads with.
#pragma once

#include "VnString.h"

// True when `location` was fetched into `file`; else `error` says why.
bool DownloadPackageFile(const VnString& location, const VnString& file, VnString& error);
