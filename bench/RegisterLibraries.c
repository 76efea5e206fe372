// Wine's own cost of in-process registration, for scripts/bench-install-wine.sh:
// every "*.dll" below the folder given is loaded (its folder first in the
// search for what it needs), asked for "DllRegisterServer", registered and
// freed, as the installer's registration phase does, with nothing else
// around it (the system libraries the installer holds are held here too).
// Prints "<libraries> <registered> <load ms> <call ms> <free ms>".
#define WIN32_LEAN_AND_MEAN
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

typedef HRESULT(WINAPI* RegisterEntry)(void);

static LARGE_INTEGER g_frequency;
static long g_libraries, g_registered;
static double g_loadMs, g_callMs, g_freeMs;

static double MillisecondsSince(LARGE_INTEGER* start) {
    LARGE_INTEGER now;
    double ms;
    QueryPerformanceCounter(&now);
    ms = (double)(now.QuadPart - start->QuadPart) * 1000.0 / (double)g_frequency.QuadPart;
    *start = now;
    return ms;
}

static void Register(const wchar_t* path) {
    LARGE_INTEGER mark;
    HMODULE module;
    RegisterEntry entry;
    QueryPerformanceCounter(&mark);
    module = LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    g_loadMs += MillisecondsSince(&mark);
    ++g_libraries;
    if (!module) return;
    entry = (RegisterEntry)(void*)GetProcAddress(module, "DllRegisterServer");
    if (entry && SUCCEEDED(entry())) ++g_registered;
    g_callMs += MillisecondsSince(&mark);
    FreeLibrary(module);
    g_freeMs += MillisecondsSince(&mark);
}

static void Walk(const wchar_t* folder) {
    wchar_t pattern[MAX_PATH * 2], path[MAX_PATH * 2];
    WIN32_FIND_DATAW found;
    HANDLE search;
    size_t length;
    swprintf(pattern, MAX_PATH * 2, L"%ls\\*", folder);
    search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
        swprintf(path, MAX_PATH * 2, L"%ls\\%ls", folder, found.cFileName);
        length = wcslen(found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Walk(path);
        else if (length > 4 && !_wcsicmp(found.cFileName + length - 4, L".dll")) Register(path);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: RegisterLibraries.exe FOLDER\n");
        return 2;
    }
    QueryPerformanceFrequency(&g_frequency);
    // Loaded for good first, as in the installer: otherwise every library
    // that needs them would load and unload them again.
    LoadLibraryW(L"user32.dll");
    LoadLibraryW(L"advapi32.dll");
    Walk(argv[1]);
    printf("%ld %ld %.0f %.0f %.0f\n", g_libraries, g_registered, g_loadMs, g_callMs, g_freeMs);
    return 0;
}
