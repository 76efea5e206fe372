#include "AppRuntimeCalls.h"

#if VN_PLATFORM_WIN32
#include <windows.h>

#include <ole2.h>
#endif

AppRuntimeRecord& GetAppRuntimeRecord() {
    static AppRuntimeRecord record;
    return record;
}

#if VN_PLATFORM_WIN32

uint32_t AppSetErrorMode(uint32_t mode) {
    GetAppRuntimeRecord().errorMode = mode;
    return ::SetErrorMode(mode);
}

bool AppOleInitialize() {
    bool initialized = SUCCEEDED(::OleInitialize(nullptr));
    if (initialized) ++GetAppRuntimeRecord().oleInitialized;
    return initialized;
}

void AppOleUninitialize() {
    --GetAppRuntimeRecord().oleInitialized;
    ::OleUninitialize();
}

void AppCoUninitialize() {
    --GetAppRuntimeRecord().comInitialized;
    ::CoUninitialize();
}

VnHandle AppModuleHandle() { return reinterpret_cast<VnHandle>(::GetModuleHandleW(nullptr)); }

bool AppUnregisterClass(const VnString& className, VnHandle instance) {
    ++GetAppRuntimeRecord().windowClassesUnregistered;
    return ::UnregisterClassW(reinterpret_cast<const wchar_t*>(className.c_str()),
                              reinterpret_cast<HINSTANCE>(instance)) != FALSE;
}

#else

namespace {
constexpr VnHandle kSimulatedModuleHandle = 0x400000;  // where a 32-bit program is usually loaded
}

uint32_t AppSetErrorMode(uint32_t mode) {
    uint32_t previous = GetAppRuntimeRecord().errorMode;
    GetAppRuntimeRecord().errorMode = mode;
    return previous;
}

bool AppOleInitialize() {
    ++GetAppRuntimeRecord().oleInitialized;
    return true;
}

void AppOleUninitialize() { --GetAppRuntimeRecord().oleInitialized; }

void AppCoUninitialize() { --GetAppRuntimeRecord().comInitialized; }

VnHandle AppModuleHandle() { return kSimulatedModuleHandle; }

bool AppUnregisterClass(const VnString&, VnHandle) {
    ++GetAppRuntimeRecord().windowClassesUnregistered;
    return true;
}

#endif
