#include "SimUninstallerRun.h"

#include "SimInstallerRun.h"

namespace {
constexpr char16_t kUninstallKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char16_t kUninstallerName[] = u"VnMediaUninstall.exe";
}  // namespace

VnString FindUninstallerPath(VnSimPlatform& machine) {
    IVnRegistry& registry = machine.Registry();
    for (uint32_t view : {vnwin::kKeyWow64_32Key, vnwin::kKeyWow64_64Key}) {
        VnRegKey uninstall = 0;
        if (registry.OpenKey(VnRegRoot::LocalMachine, kUninstallKey, vnwin::kKeyRead | view, uninstall)) continue;
        VnString name;
        VnString found;
        for (uint32_t i = 0; found.IsEmpty() && registry.EnumKey(uninstall, i, name) == 0; ++i) {
            VnRegKey entry = 0;
            if (registry.OpenSubKey(uninstall, name, vnwin::kKeyRead, entry)) continue;
            VnRegValue value;
            if (registry.QueryValue(entry, VN_LIT(u"UninstallString"), value) == 0 &&
                value.text.EndsWithNoCase(kUninstallerName))
                found = value.text;
            registry.CloseKey(entry);
        }
        registry.CloseKey(uninstall);
        if (!found.IsEmpty()) return found;
    }
    return VnString();
}

int RunUninstallerInMachine(VnSimPlatform& machine, const VnString& programPath, const VnString& parameters,
                            std::string& error) {
    IVnPlatform* previous = VnHasPlatform() ? &VnPlatform() : nullptr;
    VnSetPlatform(&machine);
    RegisterStandIns();
    IVnProcesses& processes = machine.Processes();
    VnHandle process = 0;
    VnStartOptions options;  // no working folder of its own, as Windows starts it from the uninstall list
    int exitCode = -1;
    if (uint32_t started = processes.StartProgram(programPath, parameters, options, process)) {
        error = "cannot start " + programPath.ToUtf8() + " (error " + std::to_string(started) + ")";
    } else {
        uint32_t code = 0;
        processes.WaitForProcess(process, vnwin::kInfinite);
        processes.GetExitCodeProcess(process, code);
        processes.CloseHandle(process);
        exitCode = int(code);
    }
    std::string ignored;
    machine.Flush(ignored);
    VnSetPlatform(previous);
    return exitCode;
}
