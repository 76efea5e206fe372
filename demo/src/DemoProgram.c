// A small program of the demo product (the main executable and the launcher).
// It does the least that the installer relies on: it records each start under
// HKEY_CURRENT_USER "Software\V. Arnel\Demo Starts\<its file name>" (the value
// "Command Line" holds the arguments of the last start, "Start Count" counts
// the starts) and ends at once with exit code 0.
//
// Started with "/StayRunning" it stays as the running program does: a
// top-level window of class "PMFrame" and the command mailbox
// "Tunaro <major> FC_IPC", read like the program reads it (DemoFrame below).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "DemoRecord.h"
#include "DemoFrame.h"

// Records one start of the running program: its arguments and a start count.
static BOOL DemoRecordStart(const WCHAR* arguments) {
    WCHAR path[MAX_PATH * 2], keyName[MAX_PATH * 2];
    const WCHAR* fileName;
    HKEY key;
    DWORD count = 0, size = sizeof(count), type = 0;
    BOOL ok;
    if (!DemoModulePath(NULL, path, MAX_PATH * 2, &fileName)) return FALSE;
    if (wcslen(DEMO_STARTS_KEY) + wcslen(fileName) >= MAX_PATH * 2) return FALSE;
    wcscpy(keyName, DEMO_STARTS_KEY);
    wcscat(keyName, fileName);
    if (!DemoOpenKey(keyName, &key)) return FALSE;
    if (RegQueryValueExW(key, L"Start Count", NULL, &type, (BYTE*)&count, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        count = 0;
    count += 1;
    ok = DemoSetText(key, L"Command Line", arguments ? arguments : L"") &&
         RegSetValueExW(key, L"Start Count", 0, REG_DWORD, (const BYTE*)&count, sizeof(count)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
    (void)previous, (void)show;
    DemoRecordStart(arguments);
    if (arguments && wcsncmp(arguments, DEMO_FRAME_SWITCH, wcslen(DEMO_FRAME_SWITCH)) == 0)
        return DemoRunFrame(instance);
    return 0;
}
