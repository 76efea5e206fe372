// The work the installer left for after the restart: the text values of
// HKEY_CURRENT_USER "<product key>\Installer\Finalize", which
// "PackageInstaller.exe /FinishInstall" carries out.
//
// Entries, by their data:
//   staged path|destination path   move the staged file onto the destination,
//                                  replacing it (read-only cleared, missing
//                                  folders created)
//   staged path|                   a plug-in package staged for installing
//   _DELETEFILE|path               delete the file (one already gone counts as done)
//   _REGISTERFILE|path             self-register the library (CompanionRegistration.h)
//
// Order: file operations first, in the order the values were written (their
// registry order; within one kind of name, "Install File (%d)", "Delete File
// (%d)", the counters decide), then the registrations by their counters, so a
// library is registered once its replacement is in place.
//
// Only values named "Install File (n)", "Delete File (n)" and "Register File
// (n)" whose data has that kind are carried out. Each entry that was carried
// out is removed at once; an entry that failed (a staged file that is
// missing, a locked destination, a library that does not register), that
// cannot be read or that is of a foreign kind stays in the list, and the
// others are still carried out. The key itself is removed once it is empty.
#pragma once

#include <cstdint>
#include <functional>

#include "VnString.h"

// Installs a staged package; 0 or a Windows error.
using StagedPackageInstaller = std::function<uint32_t(const VnString& package)>;

// 0 when every entry was carried out (also when there is no list), otherwise
// the error of the first entry that was not.
uint32_t CarryOutFinalizeList(const VnString& productKeyPath, const StagedPackageInstaller& installPackage);
