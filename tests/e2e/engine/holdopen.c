/* holdopen.exe: another program that keeps a file in use, for the engine's
 * end-to-end check under Wine.
 *
 *   holdopen.exe <file> <ready file>   opens <file> without sharing, creates
 *                                      <ready file>, then waits forever
 *   holdopen.exe                       just waits forever (a program that
 *                                      never ends)
 *
 * Either way it ends only when it is terminated. */
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3) {
        HANDLE held = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (held == INVALID_HANDLE_VALUE) return 2;
        HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (ready == INVALID_HANDLE_VALUE) return 3;
        CloseHandle(ready);
    }
    for (;;) Sleep(INFINITE);
}
