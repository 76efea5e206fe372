#include "VnLibrary.h"

#include <cerrno>

#include "EngineLog.h"

VnLibraryHolder& VnLibraryHolder::operator=(VnLibraryHolder&& other) noexcept {
    if (this != &other) {
        Reset(other.handle_);
        other.handle_ = 0;
    }
    return *this;
}

void* VnLibraryHolder::Function(const char* name) const {
    return handle_ ? VnPlatform().Processes().GetProcAddress(handle_, name) : nullptr;
}

void VnLibraryHolder::Release() {
    // A holder in a process-wide table may outlive the platform at process
    // exit; the system frees the module then, so there is nothing to call.
    if (handle_ && VnHasPlatform()) VnPlatform().Processes().FreeLibrary(handle_);
    handle_ = 0;
}

void VnLibraryHolder::Reset(VnHandle handle) {
    Release();
    handle_ = handle;
}

bool VnLoadLibrary(const VnString& path, uint32_t flags, VnLibraryHolder& library) {
    library.Release();
    if (path.IsEmpty()) return false;
    uint32_t error = 0;
    VnHandle handle = VnPlatform().Processes().LoadLibrary(path, flags & ~kVnLoadLibraryLogFailure, error);
    if (handle) {
        library.Reset(handle);
        return true;
    }
    if (flags & kVnLoadLibraryLogFailure)
        EngineLog(VN_LIT(u"VnLoadLibrary"), VnString::Format(u"Loading %s failed, error: %d", path, error));
    VnPlatform().System().OutputDebugString(
        VnString::Format(u"\n\nERROR in VnLoadLibrary: errno=%d, file=%s\n\n", errno, path));
    return false;
}
