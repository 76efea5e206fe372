#include "CopyRegistrationSeam.h"

#include <utility>

#include "ComponentRegistration.h"


namespace {

CopyRegistration& Installed() {
    static CopyRegistration registration;
    return registration;
}
}  // namespace

void SetCopyRegistration(CopyRegistration registration) { Installed() = std::move(registration); }

bool RegisterCopiedComponent(const VnString& path) {
    if (Installed().registerComponent) return Installed().registerComponent(path);
    return RegisterComponent(path);
}

void RegisterCopied64BitComponent(const VnString& path) {
    if (Installed().registerWith64BitRegSvr32) return Installed().registerWith64BitRegSvr32(path);
    RegisterWithRegSvr32(path, true, true);
}
