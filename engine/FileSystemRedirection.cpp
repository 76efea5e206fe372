#include "FileSystemRedirection.h"

#include "RuntimeFunctionTables.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {
// Redirection is on for every thread until switched off.
bool g_redirectionOn = true;
}  // namespace

bool SetFileSystemRedirection(bool enabled) {
    if (!VnPlatform().System().EnableWow64FsRedirection(enabled)) return false;
    g_redirectionOn = enabled;
    return true;
}

VnString RealPathOf(const VnString& path) {
    if (!g_redirectionOn || !RunsUnderWow64()) return path;
    const VnString systemFolder = GetSystemFolder();
    const VnString folder32 = NormaliseFolder(VnPlatform().System().GetSpecialFolder(vnwin::kCsidlSystemX86));
    if (systemFolder.IsEmpty() || folder32.IsEmpty() || !path.StartsWithNoCase(systemFolder.View())) return path;
    return folder32 + path.Mid(systemFolder.GetLength());
}

VnString PathForFinaliser(const VnString& path) {
    if (g_redirectionOn || !RunsUnderWow64()) return RealPathOf(path);
    const VnString systemFolder = GetSystemFolder(), windowsFolder = GetWindowsFolder();
    if (systemFolder.IsEmpty() || windowsFolder.IsEmpty() || !path.StartsWithNoCase(systemFolder.View())) return path;
    return windowsFolder + u"Sysnative\\" + path.Mid(systemFolder.GetLength());
}
