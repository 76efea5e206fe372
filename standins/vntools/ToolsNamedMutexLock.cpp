#include "ToolsNamedMutexLock.h"

#include <algorithm>

bool ToolsNamedMutexLock::Lock(uint32_t timeoutMilliseconds) {
    if (handle_) return true;
    if (name_.IsEmpty()) return false;  // an unnamed mutex would lock nothing
    IVnSystem& system = VnPlatform().System();
    uint64_t start = system.GetTickCount64();
    for (int retry = 0;; ++retry) {
        if (TryOnce()) return true;
        uint64_t waited = system.GetTickCount64() - start;
        if (timeoutMilliseconds != vnwin::kInfinite && waited >= timeoutMilliseconds) return false;
        uint64_t left = timeoutMilliseconds == vnwin::kInfinite ? kRetryMilliseconds : timeoutMilliseconds - waited;
        system.Sleep(retry < kYieldingRetries ? 0 : uint32_t(std::min<uint64_t>(left, kRetryMilliseconds)));
    }
}

bool ToolsNamedMutexLock::TryOnce() {
    IVnProcesses& processes = VnPlatform().Processes();
    uint32_t error = 0;
    VnHandle handle = processes.CreateMutex(name_, error);
    if (handle && error == vnwin::kErrorSuccess) {
        handle_ = handle;
        return true;
    }
    if (handle) processes.CloseHandle(handle);
    return false;
}

void ToolsNamedMutexLock::Unlock() {
    if (!handle_) return;
    if (VnHasPlatform()) VnPlatform().Processes().CloseHandle(handle_);
    handle_ = 0;
}
