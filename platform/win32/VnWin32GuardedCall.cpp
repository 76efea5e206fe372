// A call into a library's entry that survives a crash inside it. While the
// call runs, a vectored exception handler of this thread takes the system's
// fatal exceptions (access violation, illegal instruction, division by zero
// and the like: error severity, not a program's own code), notes the code
// and resumes the thread at a landing function that jumps back to the call
// with __builtin_longjmp. Exceptions that programs raise on purpose (C++
// exceptions, debugger notes) pass on untouched. On 32-bit Windows the
// thread's chain of exception frames is put back as it was before the call,
// since frames the library pushed lie on the stack that was left.
#include "VnWin32Processes.h"

#include <windows.h>

namespace {

struct GuardFrame {
    void* jump[5];  // __builtin_setjmp's buffer
    uint32_t code = 0;
};

thread_local GuardFrame* t_guard = nullptr;

bool IsFatalSystemException(DWORD code) {
    // Error severity (top two bits) and not a customer code (bit 29).
    return (code & 0xC0000000u) == 0xC0000000u && (code & 0x20000000u) == 0;
}

[[noreturn]] __attribute__((noinline)) void LandAfterCrash() { __builtin_longjmp(t_guard->jump, 1); }

LONG CALLBACK CatchCrash(EXCEPTION_POINTERS* info) {
    GuardFrame* guard = t_guard;
    if (!guard || !IsFatalSystemException(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    guard->code = info->ExceptionRecord->ExceptionCode;
    CONTEXT* context = info->ContextRecord;
#if defined(_WIN64)
    // Below the crashed frame, aligned as after a call.
    context->Rsp = ((context->Rsp - 512) & ~DWORD64(15)) - 8;
    context->Rip = reinterpret_cast<DWORD64>(&LandAfterCrash);
#else
    context->Esp = (context->Esp - 512) & ~DWORD(15);
    context->Eip = reinterpret_cast<DWORD>(&LandAfterCrash);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

#if defined(_WIN64)
using Entry = int32_t (*)();
#else
using Entry = int32_t(__stdcall*)();
#endif

// Kept out of line so that the jump buffer's frame is this function's own.
__attribute__((noinline)) uint32_t GuardedCall(Entry entry, int32_t& result) {
    GuardFrame guard;
    GuardFrame* outer = t_guard;
#if !defined(_WIN64)
    NT_TIB* tib = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    decltype(tib->ExceptionList) volatile frames = tib->ExceptionList;
#endif
    void* volatile handler = AddVectoredExceptionHandler(1, &CatchCrash);
    if (__builtin_setjmp(guard.jump) == 0) {
        t_guard = &guard;
        result = entry();
    } else {
#if !defined(_WIN64)
        tib->ExceptionList = frames;
#endif
    }
    t_guard = outer;
    if (handler) RemoveVectoredExceptionHandler(handler);
    return guard.code;
}

}  // namespace

uint32_t VnWin32Processes::CallLibraryEntry(void* entry, int32_t& result) {
    if (!entry) return ERROR_INVALID_PARAMETER;
    return GuardedCall(reinterpret_cast<Entry>(entry), result);
}
