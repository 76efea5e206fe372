#include "ToolsSingleton.h"

#include <mutex>

#include "ToolsLibrary.h"

namespace {
std::mutex g_mutex;
// Never destroyed at exit: the platform it writes through may be gone by then.
VnToolsLibrary* g_library = nullptr;
}  // namespace

ToolsInterface* VnToolsAcquire(int interfaceVersion, const VnString& ownFolder) {
    if (interfaceVersion != kToolsInterfaceVersion) return nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_library) g_library = new VnToolsLibrary(ownFolder);
    return g_library;
}

void VnToolsRelease() {
    std::lock_guard<std::mutex> lock(g_mutex);
    delete g_library;
    g_library = nullptr;
}
