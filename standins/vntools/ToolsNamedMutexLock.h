// The named lock as a named mutex that exists only while it is held: taking
// the lock creates the mutex, and it is taken when no other handle to that
// name was open (CreateMutex did not report ERROR_ALREADY_EXISTS). Releasing
// closes the handle. Any process, and any other lock object in this one,
// that asks for the same name meanwhile waits; a holder that ends without
// releasing frees the name with its handles.
#pragma once

#include "ToolsInterface.h"
#include "VnPlatform.h"

class ToolsNamedMutexLock final : public ToolsNamedLock {
public:
    static constexpr uint32_t kRetryMilliseconds = 10;
    // Holders such as the mailbox keep the lock for a few steps only, and a
    // waiter's own look holds the name for a moment too: the first retries
    // only yield the processor, so that a short wait costs microseconds
    // instead of a 10 ms sleep; a longer one falls back to sleeping.
    static constexpr int kYieldingRetries = 64;

    explicit ToolsNamedMutexLock(const VnString& name) : name_(name) {}
    ~ToolsNamedMutexLock() override { Unlock(); }

    // kInfinite (0xFFFFFFFF) waits without a limit.
    bool Lock(uint32_t timeoutMilliseconds) override;
    void Unlock() override;
    bool IsLocked() override { return handle_ != 0; }

private:
    bool TryOnce();

    VnString name_;
    VnHandle handle_ = 0;
};
