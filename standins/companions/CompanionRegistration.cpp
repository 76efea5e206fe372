#include "CompanionRegistration.h"

#include <string>
#include <string_view>

#include "CompanionRecord.h"
#include "PeExportNames.h"
#include "VnPlatform.h"

namespace {
constexpr uint32_t kLoadWithAlteredSearchPath = 0x8;  // the library's own folder first, for its dependencies

bool OnSimulatedMachine() { return std::string_view(VnPlatform().BackendName()) == "sim"; }

// The simulated machine loads a real library file but hands out no address
// for its exports: the entry counts as present when the export table names it.
bool ExportedByFile(const VnString& path, const char* entryName) {
    std::string bytes;
    return VnPlatform().Files().ReadFile(path, bytes) == 0 && VnPeExportsName(bytes, entryName);
}

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
    } else if (OnSimulatedMachine() && ExportedByFile(path, entryName)) {
        result = 0;  // nothing ran: the record below is the registration
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
