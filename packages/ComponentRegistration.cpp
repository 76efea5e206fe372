#include "ComponentRegistration.h"

#include "EngineLog.h"
#include "InstallRecorder.h"
#include "ProcessInformationBlock.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"
#include "VnPlatform.h"

namespace {
constexpr uint32_t kLoadWithAlteredSearchPath = 0x8;
}  // namespace

VnPeExport FindLibraryExport(const VnString& path, std::string_view name) {
    IVnFiles& files = VnPlatform().Files();
    return VnFindPeExport(
        [&](uint64_t offset, uint32_t size, std::string& bytes) {
            return files.ReadFile(path, bytes, offset, size) == vnwin::kErrorSuccess;
        },
        name);
}

bool RegisterComponent(const VnString& path) {
    // A library loaded is named in the file before its code runs (one write
    // per library), so a registration that hangs the installer or ends it is
    // the last thing the log shows; every outcome names the library too.
    static const VnString kSource = VN_LIT(u"RegisterComponent");
    // Loading runs the library's start-up code and costs far more than its
    // export table (milliseconds a file under Wine); most libraries do not
    // register themselves.
    if (FindLibraryExport(path, "DllRegisterServer") == VnPeExport::NotNamed) {
        EngineLog(kSource, u"\"" + path + u"\" has no DllRegisterServer in its export table, not loaded");
        return false;
    }
    EngineLog(kSource, u"Registering \"" + path + u"\"");
    if (ToolsLog* log = VnToolsLog()) log->Flush();
    VnLibraryHolder library;
    if (!VnLoadLibrary(path, kLoadWithAlteredSearchPath | kVnLoadLibraryLogFailure, library)) return false;
    void* registerServer = library.Function("DllRegisterServer");
    if (!registerServer) {
        EngineLog(kSource, u"\"" + path + u"\" has no DllRegisterServer");
        return false;
    }
    int32_t result = -1;
    if (const uint32_t crash = VnPlatform().Processes().CallLibraryEntry(registerServer, result)) {
        EngineLog(kSource, VnString::Format(u"DllRegisterServer of \"%s\" crashed (exception 0x%08X)", path, crash));
        return false;
    }
    if (result < 0) {
        EngineLog(kSource,
                  VnString::Format(u"DllRegisterServer of \"%s\" failed (result: 0x%08X)", path, uint32_t(result)));
        return false;
    }
    EngineLog(kSource, u"Registered \"" + path + u"\"");
    RecordInstalledComponent(path, kComponentInProcess);
    return true;
}

void RegisterWithRegSvr32(const VnString& path, bool registerIt, bool use64Bit) {
    IVnSystem& system = VnPlatform().System();
    if (registerIt) RecordInstalledComponent(path, use64Bit ? kComponentRegSvr32x64 : kComponentRegSvr32);
    const bool redirectionOff = use64Bit && system.IsWow64Process() && system.EnableWow64FsRedirection(false);
    StartComponentProgram(GetWindowsFolder() + u"system32\\RegSvr32.exe",
                          VnString::Format(u"/s %s\"%s\"", registerIt ? u"" : u"/u ", path), true);
    if (redirectionOff) system.EnableWow64FsRedirection(true);
}

bool RunPackageInstaller(const VnString& argument) {
    const VnString program =
        NormaliseFolder(ProcessInformationBlock::Get().GetProgramFolder()) + u"PackageInstaller.exe";
    if (!VnFileSystem::FileExists(program)) {
        EngineLog(u"RunPackageInstaller", VnString::Format(u"\"%s\" is missing, not run: %s", program, argument));
        return false;
    }
    return StartComponentProgram(program, argument, true) == vnwin::kErrorSuccess;
}

void RegisterWithPackageInstaller(const VnString& path, bool registerIt) {
    if (registerIt) RecordInstalledComponent(path, kComponentPackageInstaller);
    RunPackageInstaller((registerIt ? u"/RegDLL " : u"/UnRegDLL ") + path);
}

bool IsRegistrable(const VnString& path) {
    return path.Contains(u".dll") || path.Contains(u".ocx") || path.Contains(u".ax");
}

uint32_t StartComponentProgram(const VnString& program, const VnString& parameters, bool wait) {
    ToolsLogScope scope(VnToolsLog(), u"StartComponentProgram");
    scope.Write(VnString::Format(u"Filename: %s / Parameters: %s", program, parameters));
    IVnProcesses& processes = VnPlatform().Processes();
    VnHandle process = 0;
    VnStartOptions options;
    options.workingFolder = FolderOf(program);
    const uint32_t error = processes.StartProgram(program, parameters, options, process);
    scope.SetResult(int(error));
    if (error != vnwin::kErrorSuccess) return error;
    if (process != 0) {
        while (wait && processes.WaitForProcess(process, 50) == vnwin::kWaitTimeout) PumpMessages();
        processes.CloseHandle(process);
    }
    return vnwin::kErrorSuccess;
}
