// The file-level rules of the install: copying a payload folder with progress
// by bytes, deciding per file whether to copy, skip or replace it at the next
// restart, collecting the copied components for self-registration, and the
// names of the core libraries that only InstallCoreLibraries puts in place.
//
// The lists and flags it fills live in InstallOptions: PendingOperations
// ("_REGISTERFILE|path"), FinalizeInstallList ("staged|destination"),
// RestartRequired and ShellExtensionReady.
#pragma once

#include "CopyProgress.h"
#include "VnArray.h"
#include "VnString.h"

// Copy modes; bit 1 (value 2) marks the font mode.
constexpr int kCopyCheckVersion = 0;    // versioned files only when the source is newer
constexpr int kCopyAlwaysOverwrite = 1;
constexpr int kCopyFont = 2;            // always, then added to the font table

// Copies every file below `sourceFolder` (recursively) to the same place
// below `destinationFolder` with CopyFileChecked, moving `progress` (range
// 0..100) by the bytes copied and pumping messages between files. Always true.
bool CopyFolder(int mode, ICopyProgress* progress, const VnString& sourceFolder, const VnString& destinationFolder,
                VnStringArray* registerList);

// One file by the copy rules, in their order. False only when a 64-bit file is
// skipped because Windows is not 64-bit (it is neither copied nor registered).
bool CopyFileChecked(int mode, const VnString& source, const VnString& destination, VnStringArray* registerList);

// Schedules `destination` to be replaced by a copy of `source` at the next
// restart: the source is copied into the staging folder and moved from there
// with MoveFileExW (replace existing, delay until reboot). True when scheduled.
bool ReplaceOnReboot(const VnString& source, const VnString& destination);

// Copies `source` into the staging folder and, on success, adds
// "staged|destination" to FinalizeInstallList for finalisation to carry out.
// With an empty destination also the source's companions are staged: with
// `wholeFolder` everything beside it, otherwise its ".zip" archive.
void StageForFinalize(const VnString& source, const VnString& destination, bool wholeFolder);

// The staging folder: DestinationFolder + "Setup\".
VnString StagingFolder();

// The core library of index 0..6; empty outside that range.
VnString CoreLibraryName(int index);
constexpr int kCoreLibraryCount = 7;
// The path contains one of the core library names (case ignored).
bool IsExcludedCoreLibrary(const VnString& path);
