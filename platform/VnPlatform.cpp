#include "VnPlatform.h"

#include <cstdio>
#include <cstdlib>

namespace {
IVnPlatform* g_platform = nullptr;
}

IVnPlatform& VnPlatform() {
    if (!g_platform) {
        // A programming error, not bad input: every entry point installs a backend first.
        std::fputs("VnPlatform: no platform backend installed\n", stderr);
        std::abort();
    }
    return *g_platform;
}

void VnSetPlatform(IVnPlatform* platform) { g_platform = platform; }

bool VnHasPlatform() { return g_platform != nullptr; }

uint32_t IVnProcesses::CallLibraryEntry(void* entry, int32_t& result) {
#if defined(_WIN32) && !defined(_WIN64)
    using Entry = int32_t(__stdcall*)();
#else
    using Entry = int32_t (*)();
#endif
    try {
        result = reinterpret_cast<Entry>(entry)();
        return 0;
    } catch (...) {
        return kVnCrashedEntry;
    }
}
