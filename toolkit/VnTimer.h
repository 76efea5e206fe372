// A stopwatch on the toolkit's clock (the virtual clock headless), for
// rules such as "ignore a second click within 300 ms".
#pragma once

#include <cstdint>

#include "VnToolkit.h"

class VnTimer {
public:
    void Restart() {
        start_ = VnToolkit::GetTickCount();
        running_ = true;
    }
    void Stop() { running_ = false; }
    bool IsRunning() const { return running_; }
    // Milliseconds since the last Restart; 0 while stopped.
    uint64_t GetElapsedMs() const { return running_ ? VnToolkit::GetTickCount() - start_ : 0; }
    // True when stopped or when at least `ms` have passed.
    bool HasElapsed(uint64_t ms) const { return !running_ || GetElapsedMs() >= ms; }

private:
    uint64_t start_ = 0;
    bool running_ = false;
};
