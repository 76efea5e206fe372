// Windows functions that older Windows versions lack, resolved at run time:
// three tables, each loading its system library by name when built and
// resolving a fixed list of functions (an entry is null when the function is
// missing). Freeing a table frees its library.
//
// The engine uses the entries to learn whether a function exists; the
// behaviour itself it reaches through the platform layer (on the simulated
// machine the entries are markers that must never be called).
#pragma once

#include "VnLibrary.h"

struct CKernel32Functions {
    CKernel32Functions();
    VnLibraryHolder library;
    void* Wow64EnableWow64FsRedirection = nullptr;
    void* IsWow64Process = nullptr;
    void* GetVolumeNameForVolumeMountPointW = nullptr;
    void* CreateNamedPipeW = nullptr;
    void* GetProcessHandleCount = nullptr;
    void* GetLargePageMinimum = nullptr;
    void* GetProcessDEPPolicy = nullptr;
    void* SetProcessDEPPolicy = nullptr;
    void* CancelSynchronousIo = nullptr;
    void* GetSystemTimePreciseAsFileTime = nullptr;
};

// Raw input; built alongside, not used by the engine.
struct CUser32Functions {
    CUser32Functions();
    VnLibraryHolder library;
    void* GetRawInputDeviceList = nullptr;
    void* GetRawInputDeviceInfoW = nullptr;
    void* GetRawInputData = nullptr;
    void* RegisterRawInputDevices = nullptr;
};

// Device enumeration; built alongside, not used by the engine.
struct CSetupApiFunctions {
    CSetupApiFunctions();
    VnLibraryHolder library;
    void* SetupDiGetClassDevsW = nullptr;
    void* SetupDiEnumDeviceInfo = nullptr;
    void* SetupDiEnumDeviceInterfaces = nullptr;
    void* SetupDiGetDeviceInterfaceDetailW = nullptr;
    void* SetupDiGetDeviceRegistryPropertyW = nullptr;
    void* SetupDiDestroyDeviceInfoList = nullptr;
};

// The three tables, built together on first use and kept until freed.
const CKernel32Functions& Kernel32Functions();
const CUser32Functions& User32Functions();
const CSetupApiFunctions& SetupApiFunctions();
// Frees the tables and their libraries; the next use builds them again.
void FreeRuntimeFunctionTables();

// IsWow64Process exists and answers true for this process: a 32-bit process
// on 64-bit Windows.
bool RunsUnderWow64();
