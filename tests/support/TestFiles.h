// Setting up files inside a machine (simulated or real) the way a test needs.
#pragma once

#include <string_view>

#include "VnPlatform.h"

// Writes `bytes` to `path`, creating the folders above it first; the
// WriteFile error code.
uint32_t WriteFileCreatingFolders(IVnFiles& files, const VnString& path, std::string_view bytes);
