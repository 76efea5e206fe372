#include "CompanionRegistration.h"

#include <string_view>

#include "CompanionRecord.h"
#include "ComponentRegistration.h"
#include "VnPlatform.h"

namespace {
constexpr uint32_t kLoadWithAlteredSearchPath = 0x8;  // the library's own folder first, for its dependencies

bool OnSimulatedMachine() { return std::string_view(VnPlatform().BackendName()) == "sim"; }

// Loads the library, finds the entry and calls it; the result is 0, a
// Windows error or a failing HRESULT.
uint32_t CallEntry(const VnString& path, const char* entryName) {
    IVnProcesses& processes = VnPlatform().Processes();
    uint32_t error = 0;
    VnHandle module = processes.LoadLibrary(path, kLoadWithAlteredSearchPath, error);
    if (!module) return error ? error : vnwin::kErrorModNotFound;
    uint32_t result = vnwin::kErrorProcNotFound;
    if (void* address = processes.GetProcAddress(module, entryName)) {
        int32_t hresult = 0;
        const uint32_t crash = processes.CallLibraryEntry(address, hresult);
        result = crash ? crash : hresult < 0 ? uint32_t(hresult) : 0;
    } else if (OnSimulatedMachine() && FindLibraryExport(path, entryName) == VnPeExport::Named) {
        // The simulated machine loads a real library file but hands out no
        // address for its exports: nothing ran, the record below is the registration.
        result = 0;
    }
    processes.FreeLibrary(module);
    return result;
}

VnString OutcomeText(uint32_t result, bool registering) {
    if (result == 0) return registering ? u"registered" : u"unregistered";
    const char16_t* action = registering ? u"registration" : u"unregistration";
    if (result & 0x80000000u) return VnString::Format(u"%s failed (HRESULT 0x%08X)", action, result);
    return VnString::Format(u"%s failed (error %u)", action, result);
}
}  // namespace

uint32_t RegisterComponentInProcess(const VnString& path, bool registering) {
    uint32_t result = CallEntry(path, registering ? "DllRegisterServer" : "DllUnregisterServer");
    SetCompanionState(u"Components", path, OutcomeText(result, registering));
    return result;
}
