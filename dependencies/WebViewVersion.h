// The web-view runtime's installed version, as EdgeUpdate records it in the
// "pv" value, against the version the product needs.
#pragma once

#include "VnString.h"

enum class WebViewState { kMissing, kTooOld, kCurrent, kUnreadable };

// The least version the product works with: 126.0.2592.51.
constexpr int kRequiredWebViewVersion[4] = {126, 0, 2592, 51};

// Missing for an empty value; unreadable when it does not begin with four
// dotted numbers; otherwise compared part by part, most significant first.
WebViewState ClassifyWebViewVersion(const VnString& pv);

// The state on this machine, from HKEY_LOCAL_MACHINE (32-bit view)
// "SOFTWARE\Microsoft\EdgeUpdate\Clients\{F3017226-...}" "pv"; missing when
// the key or value is.
WebViewState InstalledWebViewState();
