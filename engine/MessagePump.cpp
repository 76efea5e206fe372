// The message pump of long steps. The window toolkit owns the message loop and
// installs the pump (PeekMessageW with PM_REMOVE, dispatched to its windows);
// until it does, there is no window to keep alive and pumping does nothing.
#include <utility>

#include "VnFileSystem.h"

namespace {
std::function<void()>& InstalledPump() {
    static std::function<void()> pump;
    return pump;
}
}  // namespace

void PumpMessages() {
    if (InstalledPump()) InstalledPump()();
}

void SetMessagePump(std::function<void()> pump) { InstalledPump() = std::move(pump); }
