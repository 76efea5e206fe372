// How the file copy has a copied component self-registered: through the
// registration primitives of the component step (in-process DllRegisterServer,
// the 64-bit "RegSvr32.exe"), unless a test plugs others in with
// SetCopyRegistration.
#pragma once

#include <functional>

#include "VnString.h"

struct CopyRegistration {
    // In-process self-registration of a component; true on success.
    std::function<bool(const VnString& path)> registerComponent;
    // Registration through the 64-bit "RegSvr32.exe" of the system folder, silently.
    std::function<void(const VnString& path)> registerWith64BitRegSvr32;
};

// Installs the primitives; an empty member falls back to the log line.
void SetCopyRegistration(CopyRegistration registration);

bool RegisterCopiedComponent(const VnString& path);
void RegisterCopied64BitComponent(const VnString& path);
