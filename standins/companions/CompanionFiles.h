// File tests shared by the companion programs.
#pragma once

#include "VnPlatform.h"

inline bool CompanionFileExists(const VnString& path) {
    return VnPlatform().Files().GetFileAttributes(path) != vnwin::kInvalidFileAttributes;
}
