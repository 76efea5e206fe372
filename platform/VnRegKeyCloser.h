// Registry keys of the platform that close themselves when the scope ends.
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

// A key opened for the scope (or created, when asked); Get() is 0 when that failed.
class VnScopedRegKey {
public:
    enum class Mode { OpenExisting, CreateMissing };
    VnScopedRegKey(VnRegRoot root, const VnString& path, uint32_t access, Mode mode = Mode::OpenExisting) {
        IVnRegistry& registry = VnPlatform().Registry();
        const uint32_t error = mode == Mode::CreateMissing ? registry.CreateKey(root, path, access, key_)
                                                           : registry.OpenKey(root, path, access, key_);
        if (error != vnwin::kErrorSuccess) key_ = 0;
    }
    VnScopedRegKey(VnRegKey parent, const VnString& path, uint32_t access) {
        if (VnPlatform().Registry().OpenSubKey(parent, path, access, key_) != vnwin::kErrorSuccess) key_ = 0;
    }
    ~VnScopedRegKey() {
        if (key_) VnPlatform().Registry().CloseKey(key_);
    }
    VnScopedRegKey(const VnScopedRegKey&) = delete;
    VnScopedRegKey& operator=(const VnScopedRegKey&) = delete;
    VnRegKey Get() const { return key_; }

private:
    VnRegKey key_ = 0;
};
