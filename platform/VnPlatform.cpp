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
