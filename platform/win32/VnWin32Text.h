// Conversions between VnString and the wide strings of the Windows API, and
// the small result helpers every part of the Windows backend shares.
#pragma once

#include "VnWin32Api.h"

#include <cstdint>

#include "VnString.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace vnw32 {

// The string as a zero-terminated wide string (VnString always keeps the zero).
inline const wchar_t* W(const VnString& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
// As W, but null for an empty string: "no name", "no parameters", "default verb".
inline const wchar_t* WOrNull(const VnString& text) { return text.IsEmpty() ? nullptr : W(text); }

inline VnString FromW(const wchar_t* text, size_t length) {
    return VnString(reinterpret_cast<const char16_t*>(text), int32_t(length));
}
inline VnString FromW(const wchar_t* text) { return text ? VnString::FromWide(text) : VnString(); }

// 0 when the call succeeded, otherwise the thread's last error (never 0 then,
// so that a failing call that forgot to set an error still reads as failure).
inline uint32_t ResultOf(BOOL ok, uint32_t fallback = ERROR_GEN_FAILURE) {
    if (ok) return ERROR_SUCCESS;
    DWORD error = ::GetLastError();
    return error ? error : fallback;
}

// A COM result as a Windows error code: a wrapped Win32 error is unwrapped,
// any other failure keeps its HRESULT bits.
inline uint32_t ErrorFromHResult(HRESULT hr) {
    if (SUCCEEDED(hr)) return ERROR_SUCCESS;
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return uint32_t(HRESULT_CODE(hr));
    return uint32_t(hr);
}

// Drops trailing backslashes, but keeps the one of a drive root ("C:\").
inline VnString WithoutTrailingBackslash(VnString path) {
    while (path.GetLength() > 3 && path.EndsWith(u"\\")) path.Truncate(path.GetLength() - 1);
    return path;
}

// A function of a loaded module as a typed pointer; null when either is missing.
template <class Fn>
Fn ResolveFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// A function of an already loaded system library (kernel32, ntdll, advapi32)
// resolved at run time, so the program still starts where it is missing.
template <class Fn>
Fn SystemFunction(const wchar_t* module, const char* name) {
    return ResolveFunction<Fn>(::GetModuleHandleW(module), name);
}

// Initialises COM on this thread for the lifetime of the object when the
// caller has not; leaves an existing initialisation (of either model) alone.
class ComScope {
public:
    ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // RPC_E_CHANGED_MODE means COM is already up in the multithreaded model: usable.
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

}  // namespace vnw32
