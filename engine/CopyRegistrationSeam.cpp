#include "CopyRegistrationSeam.h"

#include <utility>

#include "EngineLog.h"

namespace {
constexpr char16_t kSource[] = u"CopyRegistration";

CopyRegistration& Installed() {
    static CopyRegistration registration;
    return registration;
}
}  // namespace

void SetCopyRegistration(CopyRegistration registration) { Installed() = std::move(registration); }

bool RegisterCopiedComponent(const VnString& path) {
    if (Installed().registerComponent) return Installed().registerComponent(path);
    EngineLog(kSource, VnString::Format(u"No registration step installed, not registered: %s", path));
    return false;
}

void RegisterCopied64BitComponent(const VnString& path) {
    if (Installed().registerWith64BitRegSvr32) return Installed().registerWith64BitRegSvr32(path);
    EngineLog(kSource, VnString::Format(u"No registration step installed, RegSvr32 not run for: %s", path));
}
