// File-name masks of FindFirstFileW: "*" any run of characters, "?" any one
// character, compared without regard to case; "*.*" matches every name, and
// "name.*" also matches "name" without an extension, as on Windows.
#pragma once

#include <string>

#include "VnString.h"

class VnSimFileMask {
public:
    explicit VnSimFileMask(const VnString& mask);
    bool Matches(const VnString& name) const;

private:
    static bool Glob(std::u16string_view mask, std::u16string_view name);
    std::u16string mask_;
    std::u16string withoutAnyExtension_;  // "name" for a mask "name.*"; empty otherwise
};
