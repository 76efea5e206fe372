// The two runtimes: the DirectX 9 extension libraries and the web-view
// runtime, each skipped where Windows has no use for it or already has it.
#include "DependenciesText.h"
#include "EngineLog.h"
#include "InstallDependency.h"
#include "OperatingSystem.h"
#include "VnFileSystem.h"
#include "WebViewVersion.h"

namespace {

// A Windows version code (1000 to 1999) at most `highest`.
bool IsWindowsUpTo(int code, int highest) { return code >= 1000 && code < 2000 && code <= highest; }

}  // namespace

bool CInstallDirectX::Install() {
    // Windows 2000 and earlier cannot run them.
    if (IsWindowsUpTo(GetOperatingSystemCode(), kOsWindows2000)) return true;
    if (VnFileSystem::FileExists(GetSystemFolder() + u"d3dx9_43.dll")) return true;
    worker_.RunDependencySetup(DependencyText(u"DirectX components"), u"d3dx943.exe", VnString(), 15);
    return true;
}

bool CInstallEdge::Install() {
    // The runtime the product needs does not run on Windows 7 and earlier.
    if (IsWindowsUpTo(GetOperatingSystemCode(), kOsWindows7)) return true;
    const WebViewState state = InstalledWebViewState();
    if (state == WebViewState::kCurrent || state == WebViewState::kUnreadable) {
        EngineLog(u"CInstallEdge", state == WebViewState::kCurrent
                                       ? VN_LIT(u"The web-view runtime is current")
                                       : VN_LIT(u"The web-view runtime's version cannot be read: left alone"));
        return true;
    }
    worker_.RunDependencySetup(DependencyText(u"Edge WebView"), u"MicrosoftEdgeWebview2Setup.exe",
                               u"/silent /install", 54);
    return true;
}
