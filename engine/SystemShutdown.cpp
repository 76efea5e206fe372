#include "SystemShutdown.h"

#include "EngineLog.h"
#include "ToolsLink.h"
#include "VnPlatform.h"

CSystemShutdown::CSystemShutdown() {
    if (VnLoadLibrary(u"Advapi32.dll", 0, advapi32_)) {
        openProcessToken_ = advapi32_.Function("OpenProcessToken");
        lookupPrivilegeValue_ = advapi32_.Function("LookupPrivilegeValueW");
        adjustTokenPrivileges_ = advapi32_.Function("AdjustTokenPrivileges");
    }
    if (VnLoadLibrary(u"PowrProf.dll", 0, powrProf_)) setSuspendState_ = powrProf_.Function("SetSuspendState");
}

bool CSystemShutdown::Shutdown(Mode mode) {
    ToolsLogScope scope(VnToolsLog(), u"CSystemShutdown::Shutdown");
    (void)mode;  // restarting is the only mode
    scope.Write(VN_LIT(u"mode: Restart"));
    if (!HasPrivilegeFunctions()) scope.Write(VN_LIT(u"The privilege functions are missing; trying anyway"));
    const uint32_t error = VnPlatform().Shell().RestartWindows(kRestartFlags, 0);
    if (error != vnwin::kErrorSuccess) scope.Write(VnString::Format(u"Windows refused the restart, error %d", error));
    scope.SetResult(int(error));
    return error == vnwin::kErrorSuccess;
}
