// The real Windows backend of the platform layer: each part calls the
// Windows function its operation is named after.
#pragma once

#include "VnPlatform.h"
#include "VnWin32Files.h"
#include "VnWin32Network.h"
#include "VnWin32Processes.h"
#include "VnWin32Registry.h"
#include "VnWin32Shell.h"
#include "VnWin32System.h"

class VnWin32Platform : public IVnPlatform {
public:
    const char* BackendName() const override { return "win32"; }
    IVnRegistry& Registry() override { return registry_; }
    IVnFiles& Files() override { return files_; }
    IVnSystem& System() override { return system_; }
    IVnProcesses& Processes() override { return processes_; }
    IVnShell& Shell() override { return shell_; }
    IVnNetwork& Network() override { return network_; }

private:
    VnWin32Registry registry_;
    VnWin32Files files_;
    VnWin32System system_;
    VnWin32Processes processes_;
    VnWin32Shell shell_;
    VnWin32Network network_;
};
