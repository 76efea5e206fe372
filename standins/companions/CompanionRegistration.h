// In-process self-registration of a component, as the package installer
// does it for "/RegDLL", "/UnRegDLL" and the finalisation list's
// "_REGISTERFILE" entries: the library is loaded through the platform and its
// "DllRegisterServer" (or "DllUnregisterServer") is called.
//
// On Windows that runs the library's own code. The simulated machine cannot
// run a Windows library: there an in-process stand-in export registered in
// its module table is called, and for a real library file, which the machine
// loads but whose code it cannot run, the registration is recorded when the
// file's export table names the entry.
//
// Every outcome is recorded under "Components" of the companions' state key
// (value: the component's path; text: "registered", "unregistered", or what
// failed).
#pragma once

#include <cstdint>

#include "VnString.h"

// 0 on success; otherwise the Windows error of the load or export lookup, or
// the negative HRESULT the entry returned.
uint32_t RegisterComponentInProcess(const VnString& path, bool registering);
