// File-system redirection of the 32-bit installer on 64-bit Windows, and the
// folder a path really names while it is on.
//
// With redirection on, "<Windows>\system32\x.dll" opened by this process
// reaches "<Windows>\SysWOW64\x.dll". Windows does not redirect the paths that
// MoveFileEx records for the next restart, so a replacement scheduled under
// the redirected name would land in the 64-bit folder: the engine names the
// real folder itself.
#pragma once

#include "VnString.h"

// Switches redirection for this thread (Wow64EnableWow64FsRedirection) and
// remembers the state; false when the switch is unavailable.
bool SetFileSystemRedirection(bool enabled);

// The path as the file system sees it now: under WOW64 with redirection on, a
// path in the system folder is given in the 32-bit system folder; any other
// path unchanged.
VnString RealPathOf(const VnString& path);

// The path as the 32-bit finaliser ("PackageInstaller.exe /FinishInstall")
// will reach it after the restart, with redirection on: a file of the native
// system folder, written now with redirection off, is named through
// "<Windows>\Sysnative\"; any other path as RealPathOf gives it.
VnString PathForFinaliser(const VnString& path);
