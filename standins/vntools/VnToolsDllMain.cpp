// The Windows library VnTools.dll: its exported entries, the real Windows
// platform it runs on, and its own folder (where it looks for
// "ProductInfo.xml" unless the caller's process folders name another).
#include <iterator>

#include "ToolsSingleton.h"
#include "VnWin32Api.h"  // <windows.h> without the macros that rename the platform's operations
#include "VnWin32Platform.h"

namespace {

HMODULE g_module = nullptr;

// The folder of this library file, ending in a backslash.
VnString OwnFolder() {
    wchar_t path[2080] = {};
    DWORD length = ::GetModuleFileNameW(g_module, path, DWORD(std::size(path)));
    VnString file(reinterpret_cast<const char16_t*>(path), int32_t(length));
    return file.Left(file.ReverseFind(u'\\') + 1);
}

// The library has its own copy of the platform layer; it is installed on
// first use rather than in DllMain, where little may be done. Never freed:
// objects may still write through it while the process ends.
void InstallPlatform() {
    if (!VnHasPlatform()) VnSetPlatform(new VnWin32Platform());
}

}  // namespace

extern "C" ToolsInterface* GetVnToolsDLL(int interfaceVersion) {
    if (interfaceVersion != kToolsInterfaceVersion) return nullptr;
    InstallPlatform();
    return VnToolsAcquire(interfaceVersion, OwnFolder());
}

extern "C" void ReleaseVnToolsDLL() { VnToolsRelease(); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        VnToolsRelease();  // writes the log when the caller did not release the library
    }
    return TRUE;
}
