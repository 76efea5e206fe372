// CSystemShutdown: restarts Windows. It resolves at run time the functions
// the privilege dance needs ("Advapi32.dll": OpenProcessToken,
// LookupPrivilegeValueW, AdjustTokenPrivileges) and the power library's
// SetSuspendState ("PowrProf.dll", resolved, not used by the restart). The
// restart itself goes through the platform: the shutdown privilege enabled,
// ExitWindowsEx(EWX_REBOOT | EWX_FORCEIFHUNG, 0), the privilege's previous
// state restored. A refused restart is logged, not reported.
#pragma once

#include <cstdint>

#include "VnLibrary.h"

class CSystemShutdown {
public:
    enum class Mode { Restart };
    static constexpr uint32_t kRestartFlags = 0x12;  // EWX_REBOOT | EWX_FORCEIFHUNG

    CSystemShutdown();

    // True when Windows accepted the request.
    bool Shutdown(Mode mode);

    bool HasPrivilegeFunctions() const {
        return openProcessToken_ && lookupPrivilegeValue_ && adjustTokenPrivileges_;
    }

private:
    VnLibraryHolder advapi32_;
    VnLibraryHolder powrProf_;
    void* openProcessToken_ = nullptr;
    void* lookupPrivilegeValue_ = nullptr;
    void* adjustTokenPrivileges_ = nullptr;
    void* setSuspendState_ = nullptr;
};
