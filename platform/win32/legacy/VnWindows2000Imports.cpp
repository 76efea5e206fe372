// Functions newer than Windows 2000 that the run-time library (winpthreads)
// imports: GetTickCount64 (Vista) and the vectored exception handlers (XP).
// An imported function is called through a pointer named "__imp_" + its
// decorated name; defining those pointers here keeps the loader from ever
// looking for the functions, so the program starts on Windows 2000. Each
// pointer first points at a resolver that looks the function up in
// kernel32.dll at run time and falls back to an equivalent for older systems.
// Linked straight into each shipped program (not through a library), so the
// definitions are there before the import libraries are searched.
#include <windows.h>

namespace {

using TickCount64Fn = ULONGLONG(WINAPI*)();
using AddHandlerFn = PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER);
using RemoveHandlerFn = ULONG(WINAPI*)(PVOID);

void* Kernel32Function(const char* name) {
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? reinterpret_cast<void*>(GetProcAddress(kernel32, name)) : nullptr;
}

// Milliseconds since start-up from the performance counter, which Windows
// 2000 has; without 32-bit wrap-around and without shared state.
ULONGLONG WINAPI TickCount64FromCounter() {
    LARGE_INTEGER frequency, counter;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&counter))
        return GetTickCount();
    const ULONGLONG f = ULONGLONG(frequency.QuadPart), c = ULONGLONG(counter.QuadPart);
    return c / f * 1000 + c % f * 1000 / f;
}

// Without vectored handlers nothing is registered; the run-time library only
// uses one to name threads for a debugger.
PVOID WINAPI NoVectoredHandler(ULONG, PVECTORED_EXCEPTION_HANDLER) { return nullptr; }
ULONG WINAPI NoHandlerToRemove(PVOID) { return 0; }

ULONGLONG WINAPI ResolveTickCount64();
PVOID WINAPI ResolveAddHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler);
ULONG WINAPI ResolveRemoveHandler(PVOID handle);

}  // namespace

#if defined(__i386__)
#define VN_IMPORT_NAME(name, stackBytes) "__imp__" #name "@" #stackBytes
#else
#define VN_IMPORT_NAME(name, stackBytes) "__imp_" #name
#endif

extern "C" {
TickCount64Fn vnImportGetTickCount64 __asm__(VN_IMPORT_NAME(GetTickCount64, 0)) = ResolveTickCount64;
AddHandlerFn vnImportAddVectoredExceptionHandler
    __asm__(VN_IMPORT_NAME(AddVectoredExceptionHandler, 8)) = ResolveAddHandler;
RemoveHandlerFn vnImportRemoveVectoredExceptionHandler
    __asm__(VN_IMPORT_NAME(RemoveVectoredExceptionHandler, 4)) = ResolveRemoveHandler;
}

namespace {

// A pointer-sized store is atomic: threads racing here store the same value.
ULONGLONG WINAPI ResolveTickCount64() {
    auto found = reinterpret_cast<TickCount64Fn>(Kernel32Function("GetTickCount64"));
    vnImportGetTickCount64 = found ? found : TickCount64FromCounter;
    return vnImportGetTickCount64();
}

PVOID WINAPI ResolveAddHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
    auto found = reinterpret_cast<AddHandlerFn>(Kernel32Function("AddVectoredExceptionHandler"));
    vnImportAddVectoredExceptionHandler = found ? found : NoVectoredHandler;
    return vnImportAddVectoredExceptionHandler(first, handler);
}

ULONG WINAPI ResolveRemoveHandler(PVOID handle) {
    auto found = reinterpret_cast<RemoveHandlerFn>(Kernel32Function("RemoveVectoredExceptionHandler"));
    vnImportRemoveVectoredExceptionHandler = found ? found : NoHandlerToRemove;
    return vnImportRemoveVectoredExceptionHandler(handle);
}

}  // namespace
