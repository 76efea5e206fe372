// System part of the Windows backend: version, WOW64, processor, folders,
// names, clocks and the COM probes.
#pragma once

#include "VnPlatform.h"
#include "VnWin32Api.h"

class VnWin32System : public IVnSystem {
public:
    VnVersionInfo GetVersionEx() override;
    bool IsWow64Process() override;
    bool EnableWow64FsRedirection(bool enable) override;
    uint32_t CpuidFeaturesEdx() override;
    int16_t GetKeyState(int virtualKey) override;
    VnString GetSpecialFolder(int csidl) override;
    VnString GetSystemDirectory() override;
    VnString GetWindowsDirectory() override;
    VnString GetModuleFileName() override;
    VnString GetUserName() override;
    VnString GetComputerName() override;
    uint32_t GetCurrentProcessId() override;
    uint32_t GetCurrentThreadId() override;
    uint64_t GetTickCount64() override;
    uint64_t GetSystemTimeAsFileTime() override;
    void Sleep(uint32_t milliseconds) override;
    bool CanCreateWebBrowser() override;
    VnString CreateGuid() override;
    void OutputDebugString(const VnString& text) override;
};
