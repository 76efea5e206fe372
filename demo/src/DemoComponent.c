// A small self-registering library of the demo product. DllRegisterServer
// leaves a mark that tests can read back: the value named after this library's
// file name under HKEY_CURRENT_USER "Software\V. Arnel\Demo Registration",
// holding the full path of the copy that was registered. DllUnregisterServer
// removes the value again.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "DemoRecord.h"

static HMODULE g_module;

// Writes (add) or removes (!add) the registration mark of the module.
static BOOL DemoRecordModule(HMODULE module, BOOL add) {
    WCHAR path[MAX_PATH * 2];
    const WCHAR* fileName;
    HKEY key;
    BOOL ok;
    if (!DemoModulePath(module, path, MAX_PATH * 2, &fileName)) return FALSE;
    if (!DemoOpenKey(DEMO_REGISTRATION_KEY, &key)) return FALSE;
    if (add) {
        ok = DemoSetText(key, fileName, path);
    } else {
        LONG result = RegDeleteValueW(key, fileName);
        ok = result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    RegCloseKey(key);
    return ok;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) {
    return DemoRecordModule(g_module, TRUE) ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) {
    return DemoRecordModule(g_module, FALSE) ? S_OK : E_FAIL;
}
