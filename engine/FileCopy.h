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
// The state of a destination folder as the caller that made it knows it.
enum class DestinationFolder {
    kMissing,  // it could not be made
    kReady,    // it exists
    kMadeNow,  // the caller has just created it: nothing is in it yet
};
// The same for a caller that has made the destination's folder already, as
// CopyFolder does once per folder. In a folder made just now no file is looked
// for before its copy.
bool CopyFileIntoFolder(int mode, const VnString& source, const VnString& destination, VnStringArray* registerList,
                        DestinationFolder folder);

// The new copy of a file that cannot be put in place now waits beside it,
// in the folder the file really belongs in: StagedCopyPath. From there it is
// renamed over the file at the restart or by finalisation: one volume, one
// name per destination.
constexpr char16_t kStagedCopySuffix[] = u".~vnstaged";
VnString StagedCopyPath(const VnString& destination);
// Copies `source` to the staged copy of `destination`; 0 or the Windows
// error, with nothing left behind on failure.
uint32_t WriteStagedCopy(const VnString& source, const VnString& destination);
// MoveFileExW (replace existing, delay until reboot) from the staged copy to
// the file; true when scheduled (also when it already was).
bool ScheduleStagedReplacement(const VnString& destination);
// Adds "staged copy|destination" to FinalizeInstallList (once).
void ListStagedCopyForFinalize(const VnString& destination);

// Schedules `destination` to be replaced by a copy of `source` at the next
// restart, through its staged copy. True when scheduled; otherwise nothing is
// left behind.
bool ReplaceOnReboot(const VnString& source, const VnString& destination);

// With a destination: writes the staged copy and, on success, lists it for
// finalisation. With an empty destination (a package staged on its own) the
// source goes into the staging folder, listed as "staged|", and its
// companions come along: with `wholeFolder` everything beside it, otherwise
// its ".zip" archive.
void StageForFinalize(const VnString& source, const VnString& destination, bool wholeFolder);

// A payload file left exactly as it was because it could neither be copied,
// nor replaced at the restart, nor staged: logged with the reason and
// remembered for the end of the install (InstallOptions::FilesNotInstalled).
void NoteFileNotInstalled(const VnString& destination, const VnString& reason);
// Tells the user which files could not be installed (a silent install only
// logs them); nothing when every file was.
void ReportFilesNotInstalled();

// The staging folder of packages: DestinationFolder + "Setup\".
VnString StagingFolder();

// The core library of index 0..6; empty outside that range.
VnString CoreLibraryName(int index);
constexpr int kCoreLibraryCount = 7;
// The path contains one of the core library names (case ignored).
bool IsExcludedCoreLibrary(const VnString& path);
