// Loading a library through the platform (LoadLibraryExW), with the log and
// debug lines the engine writes when it fails. The handle is owned by a
// holder that frees the library when it lets go.
#pragma once

#include <cstdint>

#include "VnPlatform.h"
#include "VnString.h"

// The top bit of VnLoadLibrary's flags asks for a log line on failure; it is
// cleared before the flags reach LoadLibraryExW.
constexpr uint32_t kVnLoadLibraryLogFailure = 0x80000000u;

class VnLibraryHolder {
public:
    VnLibraryHolder() = default;
    ~VnLibraryHolder() { Release(); }
    VnLibraryHolder(const VnLibraryHolder&) = delete;
    VnLibraryHolder& operator=(const VnLibraryHolder&) = delete;
    VnLibraryHolder(VnLibraryHolder&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
    VnLibraryHolder& operator=(VnLibraryHolder&& other) noexcept;

    VnHandle Get() const { return handle_; }
    bool IsLoaded() const { return handle_ != 0; }
    // GetProcAddress on the held library; null when none is held or it lacks the function.
    void* Function(const char* name) const;
    // Frees the library (FreeLibrary) and holds nothing.
    void Release();
    // Holds a newly loaded handle, freeing any earlier one.
    void Reset(VnHandle handle);

private:
    VnHandle handle_ = 0;
};

// LoadLibraryExW(path, no file, flags without the top bit). False for an empty
// path and on failure, when "Loading %s failed, error: %d" is logged under
// "VnLoadLibrary" (only with kVnLoadLibraryLogFailure) and the debug line
// "\n\nERROR in VnLoadLibrary: errno=%d, file=%s\n\n" is written in every case.
bool VnLoadLibrary(const VnString& path, uint32_t flags, VnLibraryHolder& library);
