#include "RunningProgram.h"

#include "VnPlatform.h"

namespace {
constexpr uint32_t kPollMilliseconds = 50;
}  // namespace

RunningProgramVerdict CloseRunningProgram(const VnString& windowClass, const std::function<bool()>& askToClose) {
    IVnProcesses& processes = VnPlatform().Processes();
    auto window = [&] { return windowClass.IsEmpty() ? 0 : processes.FindWindow(windowClass, VnString()); };
    const uintptr_t found = window();
    if (!found) return RunningProgramVerdict::NotRunning;
    if (!askToClose()) return RunningProgramVerdict::KeptOpen;
    processes.PostMessage(found, vnwin::kWmClose, 0, 0);
    IVnSystem& system = VnPlatform().System();
    for (uint32_t waited = 0; window(); waited += kPollMilliseconds) {
        if (waited >= kProgramCloseWaitMilliseconds) return RunningProgramVerdict::WouldNotClose;
        system.Sleep(kPollMilliseconds);
    }
    return RunningProgramVerdict::Closed;
}
