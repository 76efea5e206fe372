// The one library object of a process, behind the exported entries
// GetVnToolsDLL and ReleaseVnToolsDLL of both builds.
#pragma once

#include "ToolsInterface.h"

// The process's library object, made on first use; null for any interface
// version other than kToolsInterfaceVersion. `ownFolder` is the folder of the
// library file (empty when linked in); it is used when the object is made.
ToolsInterface* VnToolsAcquire(int interfaceVersion, const VnString& ownFolder);
// Writes the log and drops the object; the next VnToolsAcquire makes a new one.
void VnToolsRelease();
