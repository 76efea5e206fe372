// Closes a registry key of the platform when the scope ends.
#pragma once

#include "VnPlatform.h"

class VnRegKeyCloser {
public:
    explicit VnRegKeyCloser(VnRegKey key) : key_(key) {}
    ~VnRegKeyCloser() {
        if (key_) VnPlatform().Registry().CloseKey(key_);
    }
    VnRegKeyCloser(const VnRegKeyCloser&) = delete;
    VnRegKeyCloser& operator=(const VnRegKeyCloser&) = delete;

private:
    VnRegKey key_;
};
