// The demo product's dependency set-ups: small programs of our own under the
// names of the real ones, "d3dx943.exe" (DirectX components) and
// "MicrosoftEdgeWebview2Setup.exe" (web-view runtime). Each records its start
// as the demo programs do (HKEY_CURRENT_USER "Software\V. Arnel\Demo
// Starts\<file name>": "Command Line" and "Start Count") and leaves behind what the
// real one would, so that the installer finds the component present next
// time:
// - "d3dx943.exe": "d3dx9_43.dll" in the system folder;
// - "MicrosoftEdgeWebview2Setup.exe": HKEY_LOCAL_MACHINE (32-bit view)
//   "SOFTWARE\Microsoft\EdgeUpdate\Clients\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}"
//   "pv" = kDemoWebViewVersion.
// Written once over the platform: the Windows presets build each as a GUI
// program, natively they run in-process in the simulated machine.
#pragma once

#include <cstdint>

#include "VnString.h"

constexpr const char16_t* kDemoWebViewVersion = u"131.0.2903.70";
constexpr const char16_t* kWebViewClientKey =
    u"SOFTWARE\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

struct DependencySetupProgram {
    const char16_t* fileName;
    uint32_t (*install)();  // leaves the component behind; the exit code
};

// The programs, ended by an entry with a null file name.
extern const DependencySetupProgram kDependencySetupPrograms[];
const DependencySetupProgram* FindDependencySetupProgram(const VnString& fileName);

// Records the start, then installs. Returns the exit code.
uint32_t RunDependencySetupProgram(const DependencySetupProgram& program, const VnString& parameters);

// Registers the programs with the simulated machine (native build only).
void VnRegisterDependencySetupsWithSim();
