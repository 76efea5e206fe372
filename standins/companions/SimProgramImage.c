// The file that stands for a companion program in the native build's set-up
// folder. The simulated machine never runs it: a program started by that file
// name runs the in-process companion (VnCompanionsSim.h). The file is a real
// program with the companion's version resource, so that the installer's
// version rules copy it as they copy the Windows build's program. Started on
// Windows it does nothing and ends with ERROR_CALL_NOT_IMPLEMENTED.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
    (void)instance, (void)previous, (void)arguments, (void)show;
    return ERROR_CALL_NOT_IMPLEMENTED;
}
