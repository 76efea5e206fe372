#include "Preflight.h"

#include "VnPlatform.h"

namespace {
constexpr int kVirtualKeyF = 'F';

bool IsKeyHeld(int virtualKey) { return (VnPlatform().System().GetKeyState(virtualKey) & 0x8000) != 0; }
}  // namespace

bool IsPreflightSkipRequested() {
    return IsKeyHeld(vnwin::kVkControl) && IsKeyHeld(vnwin::kVkShift) && IsKeyHeld(kVirtualKeyF);
}

PreflightOutcome RunPreflightChecks(PreflightContext& context) {
    using Check = PreflightOutcome (*)(PreflightContext&);
    static constexpr Check kChecks[] = {CheckRights,           CheckRunningProduct, StopInstalledService,
                                        CheckInternetExplorer, CheckProcessor,      CheckWindowsVersion};
    for (Check check : kChecks) {
        PreflightOutcome outcome = check(context);
        if (outcome != PreflightOutcome::kPassed) return outcome;
    }
    return PreflightOutcome::kPassed;
}
