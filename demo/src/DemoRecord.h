// The marks that the demo product's programs and libraries leave in the
// registry, so that a test can tell what ran and what was registered.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <wchar.h>

#define DEMO_REGISTRATION_KEY L"Software\\V. Arnel\\Demo Registration"
#define DEMO_STARTS_KEY L"Software\\V. Arnel\\Demo Starts\\"

// Full path and file-name part of a loaded module (NULL: the program itself).
static BOOL DemoModulePath(HMODULE module, WCHAR* path, DWORD capacity, const WCHAR** fileName) {
    DWORD length = GetModuleFileNameW(module, path, capacity);
    if (length == 0 || length >= capacity) return FALSE;
    const WCHAR* slash = wcsrchr(path, L'\\');
    *fileName = slash ? slash + 1 : path;
    return TRUE;
}

// Opens (creating it when missing) a key below HKEY_CURRENT_USER for writing.
static BOOL DemoOpenKey(const WCHAR* keyName, HKEY* key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, NULL, 0, KEY_READ | KEY_WRITE, NULL, key, NULL) ==
           ERROR_SUCCESS;
}

static BOOL DemoSetText(HKEY key, const WCHAR* name, const WCHAR* text) {
    DWORD bytes = (DWORD)((wcslen(text) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)text, bytes) == ERROR_SUCCESS;
}
