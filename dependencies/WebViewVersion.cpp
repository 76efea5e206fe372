#include "WebViewVersion.h"

#include <cstdio>

#include "VnPlatform.h"

namespace {
constexpr const char16_t* kClientKey =
    u"SOFTWARE\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
}  // namespace

WebViewState ClassifyWebViewVersion(const VnString& pv) {
    if (pv.IsEmpty()) return WebViewState::kMissing;
    int parts[4] = {};
    // As "%d.%d.%d.%d" reads it: four numbers are enough, what follows is not looked at.
    if (std::sscanf(pv.ToUtf8().c_str(), "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]) != 4)
        return WebViewState::kUnreadable;
    for (int i = 0; i < 4; ++i)
        if (parts[i] != kRequiredWebViewVersion[i])
            return parts[i] > kRequiredWebViewVersion[i] ? WebViewState::kCurrent : WebViewState::kTooOld;
    return WebViewState::kCurrent;
}

WebViewState InstalledWebViewState() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kClientKey, vnwin::kKeyRead | vnwin::kKeyWow64_32Key, key))
        return WebViewState::kMissing;
    VnRegValue pv;
    const uint32_t error = registry.QueryValue(key, u"pv", pv);
    registry.CloseKey(key);
    if (error || (pv.type != vnwin::kRegSz && pv.type != vnwin::kRegExpandSz)) return WebViewState::kMissing;
    return ClassifyWebViewVersion(pv.text);
}
