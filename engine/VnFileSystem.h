// The file-system helpers the install engine works through. Everything goes
// through the platform layer; failures are logged to the tools library's log
// (when it is loaded) and reported by the result, never shown.
//
// Folder strings end in exactly one backslash after NormaliseFolder; paths are
// joined by appending to such a folder.
#pragma once

#include <cstdint>
#include <functional>

#include "VnString.h"

namespace VnFileSystem {

// The path names an existing file (not a folder).
bool FileExists(const VnString& path);
// The path names an existing folder.
bool FolderExists(const VnString& path);

// Creates the folder and every missing parent; true when the folder exists
// afterwards. Logs "Failed! Path=%s" on failure. `madeNow`, when given, tells
// whether this call created the folder itself (so it is empty).
bool MakeDirectoryTree(const VnString& folder, bool* madeNow = nullptr);

// Clears the file's attributes and deletes it. True for an empty path and for
// a file that is gone afterwards (a missing file counts as deleted); logs
// "Error %d deleting existing file: %s" otherwise.
bool DeleteFile(const VnString& path);

// Puts `newFile` in the place of `original` without a moment where neither
// exists under that name for good: the original is renamed aside, the new
// file moved in, then the renamed original deleted. On a failed move the
// original is moved back.
bool SafeReplaceFile(const VnString& newFile, const VnString& original);

// The name `SafeReplaceFile` gives the original while it is set aside.
VnString SetAsideName(const VnString& original);

// A drive path too long for the classic Win32 limits, in its "\\?\" form
// (which has no limit); any other path unchanged. The engine's own file
// operations pass paths through it, so long destinations work everywhere.
VnString LongPathForm(const VnString& path);
// A drive path in its "\\?\" form whatever its length; any other path unchanged.
VnString ExtendedPathForm(const VnString& path);

}  // namespace VnFileSystem

// The folder of the installer's own program file, with a trailing backslash.
VnString GetInstallerFolder();
// The system and Windows folders with a trailing backslash; empty on failure.
VnString GetSystemFolder();
VnString GetWindowsFolder();

// The path up to and including its last backslash; empty when it has none.
VnString FolderOf(const VnString& path);
// The part after the last backslash.
VnString FileNameOf(const VnString& path);

// Size in bytes; 0 when the file is missing.
uint64_t GetFileSize(const VnString& path);

// Exactly one trailing backslash: one is added when missing and a run of them
// is cut to one. A path that is exactly two backslashes stays as it is, and an
// empty path stays empty (so that it never turns into the drive root).
VnString NormaliseFolder(const VnString& folder);

// Resolves a folder value read from a configuration file that lies in
// `baseFolder`. A drive path ("X:\"), a share path ("\\") or a URL ("://") is
// taken as it is; anything else is appended to `baseFolder`, with "." and ".."
// segments collapsed (never above the drive or share). Trailing backslashes
// are removed, except the one of a drive root.
VnString ResolveFolderValue(const VnString& baseFolder, const VnString& value);

// Deletes the folder with every file and sub-folder below it. A missing
// folder is not an error. A folder that cannot be removed under its plain
// name is tried once more under its "\\?\" name.
bool DeleteDirectoryTree(const VnString& folder);

// The folder is writable: "%sDirectory Write Test (%d).tmp" (folder, current
// thread id) can be created there; it is deleted again.
bool WriteTest(const VnString& folder);

// Handles every message waiting in the user-interface thread's queue, so the
// window stays alive during long steps. The window toolkit installs the pump
// with SetMessagePump; until one is installed PumpMessages does nothing.
void PumpMessages();
void SetMessagePump(std::function<void()> pump);
