// The plain program of the start-up benchmark (scripts/bench-startup-wine.sh):
// it shows a message box, and once the box is painted appends to the file
// named by its argument "<microseconds since 1970, UTC> message box shown",
// then closes the box. The moment is taken in the box's first timer: a timer
// is delivered only when no window of the thread waits to be painted, the
// rule that also places the installer's licence page line
// ("CLicensePpg::StartAfterBuild: Start").
#define WIN32_LEAN_AND_MEAN
#include <stdio.h>
#include <windows.h>

static const wchar_t kTitle[] = L"Start-up benchmark";
static const wchar_t* g_markFile;

static void CALLBACK BoxShown(HWND window, UINT message, UINT_PTR id, DWORD time) {
    FILETIME now;
    ULARGE_INTEGER units;
    FILE* mark;
    HWND box = FindWindowW(NULL, kTitle);
    (void)window, (void)message, (void)time;
    KillTimer(NULL, id);
    GetSystemTimePreciseAsFileTime(&now);
    units.LowPart = now.dwLowDateTime, units.HighPart = now.dwHighDateTime;
    mark = _wfopen(g_markFile, L"a");
    if (mark) {
        fprintf(mark, "%llu message box shown%s\n", (units.QuadPart - 116444736000000000ull) / 10,
                box ? "" : " (box not found)");
        fclose(mark);
    }
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance, (void)previous, (void)show;
    if (!commandLine || !*commandLine) return 2;
    g_markFile = commandLine;
    SetTimer(NULL, 0, 0, BoxShown);
    MessageBoxW(NULL, L"A plain program's message box.", kTitle, MB_OK);
    return 0;
}
