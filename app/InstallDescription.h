// The install description "Install.xml" (root "VNIC") beside the installer, or
// one folder up, and the support folders it adds. Reading it never fails: a
// missing or broken file, a wrong root, a "version" below 1.0 or a missing
// "Settings" element leave the defaults.
#pragma once

#include <string_view>

#include "InstallOptions.h"
#include "VnString.h"

// Fills the support folder list (first the "Support" folder beside the
// installer), the Library folder, AllowDowngrade and the sample-media folder.
// `installerFolder` is the folder of the running installer. Always true.
bool LoadInstallDescription(const VnString& installerFolder, InstallOptions& options = InstallOptions::Get());

// The full path of the first support folder holding a file of that name, or
// an empty string.
VnString FindSupportFile(std::u16string_view name, const InstallOptions& options = InstallOptions::Get());
