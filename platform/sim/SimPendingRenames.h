// The list of file operations Windows carries out at the next restart: HKLM
// "SYSTEM\CurrentControlSet\Control\Session Manager" value
// "PendingFileRenameOperations", a REG_MULTI_SZ of string pairs. The first
// string of a pair is the source as an NT path ("\??\C:\dir\file"); the second
// is the target as an NT path, with a leading "!" when an existing target may
// be replaced, or empty when the source is to be deleted.
#pragma once

#include <cstdint>

#include "VnArray.h"
#include "VnPlatform.h"

constexpr char16_t kVnSessionManagerKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char16_t kVnPendingRenamesValue[] = u"PendingFileRenameOperations";

struct VnPendingRename {
    VnString source;  // Windows path ("C:\dir\file")
    VnString target;  // Windows path; empty: delete the source
    bool replaceExisting = false;
};

// Appends one operation to the value as MoveFileExW does. `source` and
// `target` are full Windows paths (normalised, "\\?\" removed).
uint32_t VnAppendPendingRename(IVnRegistry& registry, const VnPendingRename& rename);
// Reads the list; an absent value is an empty list. Pairs whose paths are
// not "\??\" paths of a drive are returned with an empty source.
uint32_t VnReadPendingRenames(IVnRegistry& registry, VnCoreArray<VnPendingRename>& renames);
uint32_t VnClearPendingRenames(IVnRegistry& registry);

// The NT form of a Windows path ("\??\C:\dir") and back (empty when it is not one).
VnString VnNtPathOf(const VnString& windowsPath);
VnString VnWindowsPathOfNt(const VnString& ntPath);
