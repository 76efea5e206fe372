// The operating-system code: one number from 1000 to 1014 naming the Windows
// version the installer runs on (0 when unknown), computed once from
// GetVersionEx under a lock and kept for the rest of the run. Later steps
// compare it (1008 Vista and later, 1012 Windows 10 ...).
#pragma once

#include "VnPlatform.h"
#include "VnString.h"

enum OperatingSystemCode : int {
    kOsUnknown = 0,
    kOsWindows95 = 1000,
    kOsWindows98 = 1001,
    kOsWindows98SecondEdition = 1002,  // also "Microsoft Windows 98": version 4.10
    kOsWindowsMe = 1003,
    kOsWindowsNT = 1004,
    kOsWindows2000 = 1005,
    kOsWindowsXP = 1006,
    kOsWindowsServer2003 = 1007,
    kOsWindowsVista = 1008,
    kOsWindows7 = 1009,
    kOsWindows8 = 1010,
    kOsWindows81 = 1011,
    kOsWindows10 = 1012,
    kOsWindows11 = 1013,
    kOsWindowsNew = 1014,  // any version above 10.0, or 6.x above 6.3
};

constexpr uint32_t kWindows11FirstBuild = 22000;

// The code of a version as GetVersionEx reports it.
int OperatingSystemCodeFor(const VnVersionInfo& version);
// Its name: "Microsoft Windows 10", "Microsoft Windows New (10.1)", "Unknown OS".
VnString OperatingSystemNameFor(const VnVersionInfo& version);

// The running Windows, computed on first use.
int GetOperatingSystemCode();
VnString GetOperatingSystemName();
// Forgets the computed code, so that the next call asks the platform again:
// for a new run on another simulated machine in the same process.
void ForgetOperatingSystem();
