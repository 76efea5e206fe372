// The system part of the simulated machine: what the installer asks about
// Windows itself, answered from the machine's facts.
//
// Time is simulated (see VnSimFacts::TickCount64): Sleep lets time pass at
// once instead of waiting. The installer is a 32-bit process, so
// IsWow64Process is true exactly on 64-bit Windows; there,
// EnableWow64FsRedirection switches the redirection the files part applies
// (on 32-bit Windows, or when the facts list kernel32.dll's
// "Wow64EnableWow64FsRedirection" as missing, it is unavailable: false).
// OutputDebugString lines go to "debug.log" in the machine folder.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "SimFacts.h"
#include "VnPlatform.h"

class VnSimSystem : public IVnSystem {
public:
    VnSimSystem(VnSimFacts& facts, const std::string& machineFolder);

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

private:
    VnSimFacts& facts_;
    std::string debugLog_;
    std::mt19937_64 random_;
};
