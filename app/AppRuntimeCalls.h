// The few process-level Windows calls of the application framework that the
// platform layer does not carry: the error mode, set while the global
// application object is constructed (before any platform is installed), OLE
// initialisation for the user-interface thread, the module handle, and the
// unregistering of window classes.
//
// On Windows these are the real calls. Natively (the simulated machine)
// nothing outside the process would see them, so they only keep count in
// AppRuntimeRecord, where the runner and the tests can read them.
#pragma once

#include <cstdint>

#include "VnPlatform.h"
#include "VnString.h"

constexpr uint32_t kSemFailCriticalErrors = 0x0001, kSemNoOpenFileErrorBox = 0x8000;

// What the calls did in a native build.
struct AppRuntimeRecord {
    uint32_t errorMode = 0;
    int oleInitialized = 0;  // OleInitialize calls not yet undone
    int comInitialized = 0;  // CoInitialize calls not yet undone
    int windowClassesUnregistered = 0;
};
AppRuntimeRecord& GetAppRuntimeRecord();

// SetErrorMode; returns the previous mode.
uint32_t AppSetErrorMode(uint32_t mode);
// OleInitialize(NULL): true on success (S_OK or S_FALSE).
bool AppOleInitialize();
void AppOleUninitialize();
void AppCoUninitialize();
// GetModuleHandleW(NULL).
VnHandle AppModuleHandle();
// UnregisterClassW(name, instance).
bool AppUnregisterClass(const VnString& className, VnHandle instance);
