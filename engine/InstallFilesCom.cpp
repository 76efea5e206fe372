// Kept apart: <windows.h> defines macros (DeleteFile, CopyFile) that clash
// with the engine's own names.
#include "InstallFiles.h"

#if VN_PLATFORM_WIN32
#include <objbase.h>
#endif

void FreeUnusedComLibraries() {
#if VN_PLATFORM_WIN32
    CoFreeUnusedLibraries();
#endif
}
