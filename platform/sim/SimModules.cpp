#include "SimModules.h"

#include "PeImage.h"
#include "SimHostFile.h"

namespace {
constexpr uint64_t kHeaderPage = 4096, kHeaderArea = 64 * 1024;
constexpr uint32_t kAsData = kVnLoadLibraryAsDatafile | kVnLoadLibraryAsImageResource | kVnLoadLibraryAsDatafileExclusive;

// A function of a Windows system library and the first Windows version
// (major, minor, service pack) that has it.
struct SystemFunctionEntry {
    const char16_t* library;
    const char* name;
    uint32_t major, minor, servicePack;
};

const SystemFunctionEntry kSystemFunctions[] = {
    {u"kernel32.dll", "MoveFileExW", 5, 0, 0},
    {u"kernel32.dll", "CopyFileW", 5, 0, 0},
    {u"kernel32.dll", "GetDiskFreeSpaceExW", 5, 0, 0},
    {u"kernel32.dll", "GetVolumeNameForVolumeMountPointW", 5, 0, 0},
    {u"kernel32.dll", "CreateNamedPipeW", 5, 0, 0},
    {u"kernel32.dll", "GetNativeSystemInfo", 5, 1, 0},
    {u"kernel32.dll", "GetProcessHandleCount", 5, 1, 1},
    {u"kernel32.dll", "IsWow64Process", 5, 1, 2},
    {u"kernel32.dll", "Wow64EnableWow64FsRedirection", 5, 2, 0},
    {u"kernel32.dll", "Wow64DisableWow64FsRedirection", 5, 2, 0},
    {u"kernel32.dll", "Wow64RevertWow64FsRedirection", 5, 2, 0},
    {u"kernel32.dll", "GetLargePageMinimum", 5, 2, 0},
    {u"kernel32.dll", "GetProcessDEPPolicy", 6, 0, 0},
    {u"kernel32.dll", "SetProcessDEPPolicy", 6, 0, 0},
    {u"kernel32.dll", "CancelSynchronousIo", 6, 0, 0},
    {u"kernel32.dll", "GetSystemTimePreciseAsFileTime", 6, 2, 0},
    {u"version.dll", "GetFileVersionInfoSizeW", 5, 0, 0},
    {u"version.dll", "GetFileVersionInfoW", 5, 0, 0},
    {u"version.dll", "VerQueryValueW", 5, 0, 0},
    {u"powrprof.dll", "SetSuspendState", 5, 0, 0},
    {u"powrprof.dll", "IsPwrHibernateAllowed", 5, 0, 0},
    {u"powrprof.dll", "IsPwrSuspendAllowed", 5, 0, 0},
    {u"user32.dll", "GetRawInputDeviceList", 5, 1, 0},
    {u"user32.dll", "GetRawInputDeviceInfoW", 5, 1, 0},
    {u"user32.dll", "GetRawInputData", 5, 1, 0},
    {u"user32.dll", "RegisterRawInputDevices", 5, 1, 0},
    {u"setupapi.dll", "SetupDiGetClassDevsW", 5, 0, 0},
    {u"setupapi.dll", "SetupDiEnumDeviceInfo", 5, 0, 0},
    {u"setupapi.dll", "SetupDiEnumDeviceInterfaces", 5, 0, 0},
    {u"setupapi.dll", "SetupDiGetDeviceInterfaceDetailW", 5, 0, 0},
    {u"setupapi.dll", "SetupDiGetDeviceRegistryPropertyW", 5, 0, 0},
    {u"setupapi.dll", "SetupDiDestroyDeviceInfoList", 5, 0, 0},
    {u"shell32.dll", "ShellExecuteExW", 5, 0, 0},
    {u"shell32.dll", "SHChangeNotify", 5, 0, 0},
    {u"shell32.dll", "SHGetFolderPathW", 5, 0, 0},
};

// System libraries every supported Windows has (the KnownDLLs and their
// neighbours); they load from the system folder whatever the machine holds.
const char16_t* const kSystemLibraries[] = {
    u"kernel32.dll", u"user32.dll",   u"gdi32.dll",    u"advapi32.dll", u"shell32.dll", u"ole32.dll",
    u"oleaut32.dll", u"version.dll",  u"powrprof.dll", u"setupapi.dll", u"ntdll.dll",   u"comctl32.dll",
    u"comdlg32.dll", u"shlwapi.dll",  u"msvcrt.dll",   u"imm32.dll",    u"uxtheme.dll", u"winmm.dll",
    u"wininet.dll",  u"urlmon.dll",   u"ws2_32.dll",   u"crypt32.dll",  u"psapi.dll",   u"dbghelp.dll",
    u"rpcrt4.dll",   u"secur32.dll",  u"userenv.dll",  u"wintrust.dll", u"msi.dll",     u"dsound.dll",
};

uint32_t ServicePackNumber(const VnString& servicePack) {
    int32_t digit = servicePack.FindOneOf(u"0123456789");
    return digit < 0 ? 0 : uint32_t(VnString::ParseInt(servicePack.View().substr(size_t(digit))));
}

bool IsBare(const VnString& path) { return path.FindOneOf(u"\\/:") < 0; }
}  // namespace

VnSimModules::VnSimModules(const VnSimFacts& facts, VnSimFiles& files, const VnSimModuleRegistry& registry)
    : facts_(facts), files_(files), registry_(registry) {}

bool VnSimModules::IsSystemLibrary(const VnString& fileName) {
    for (const char16_t* library : kSystemLibraries)
        if (fileName.EqualsNoCase(library)) return true;
    return false;
}

void* VnSimModules::SystemFunction(const VnString& fileName, const char* name) const {
    uint32_t servicePack = ServicePackNumber(facts_.servicePack);
    for (const SystemFunctionEntry& entry : kSystemFunctions) {
        if (!fileName.EqualsNoCase(entry.library) || std::string_view(entry.name) != name) continue;
        bool newer = facts_.osMajor != entry.major ? facts_.osMajor > entry.major
                     : facts_.osMinor != entry.minor ? facts_.osMinor > entry.minor
                                                     : servicePack >= entry.servicePack;
        return newer ? const_cast<SystemFunctionEntry*>(&entry) : nullptr;
    }
    return nullptr;
}

bool VnSimModules::IsSystemFolderPath(const VnString& windowsPath) const {
    int32_t slash = windowsPath.ReverseFind(u'\\');
    if (slash < 0) return false;
    VnString folder = windowsPath.Left(slash);
    const VnString& windows = facts_.windowsFolder;
    return folder.EqualsNoCase(windows) || folder.EqualsNoCase(windows + u"\\System32") ||
           folder.EqualsNoCase(windows + u"\\SysWOW64");
}

uint32_t VnSimModules::Locate(const VnString& path, uint32_t flags, VnString& fileName, std::string& key) {
    fileName = VnSimFileNameOf(path);
    if (fileName.IsEmpty() || facts_.IsLibraryMissing(fileName)) return vnwin::kErrorModNotFound;
    std::string systemKey = "system:";
    systemKey += VnString(VnSimPaths::FoldName(fileName.View())).ToUtf8();
    VnSimPath file;
    if (IsBare(path)) {
        if (IsSystemLibrary(fileName)) {
            key = systemKey;
            return 0;
        }
        // The DLL search order: the program's folder, the system folder, the Windows folder.
        const VnString& installer = facts_.installerPath;
        VnString folders[] = {installer.Left(installer.ReverseFind(u'\\')), facts_.windowsFolder + u"\\System32",
                              facts_.windowsFolder};
        bool found = false;
        for (const VnString& folder : folders) {
            if (files_.Paths().Resolve(folder + u"\\" + fileName, file) == 0 && file.exists && !file.isFolder) {
                found = true;
                break;
            }
        }
        if (!found) {
            if (!registry_.HasModule(fileName)) return vnwin::kErrorModNotFound;
            key = systemKey;
            return 0;
        }
    } else {
        if (files_.Paths().Resolve(path, file) != 0) return vnwin::kErrorModNotFound;
        if (IsSystemLibrary(fileName) && IsSystemFolderPath(file.windowsPath)) {
            key = systemKey;
            return 0;
        }
        if (!file.exists || file.isFolder) return vnwin::kErrorModNotFound;
    }
    if (!facts_.lockedFiles.IsEmpty() && facts_.IsFileLocked(file.windowsPath)) return vnwin::kErrorSharingViolation;
    key = file.hostPath;
    if (registry_.HasModule(fileName) || (flags & kAsData)) return 0;
    // The headers, from the file just found: a page holds them unless the
    // file puts its PE header further in.
    std::string header;
    VnSimReadHostFile(file.hostPath, header, 0, kHeaderPage);
    if (header.size() == kHeaderPage && VnReadPeMachine(header) == 0)
        VnSimReadHostFile(file.hostPath, header, 0, kHeaderArea);
    return VnReadPeMachine(header) == kVnPeMachineI386 ? 0 : kVnErrorBadExeFormat;
}

VnHandle VnSimModules::Load(const VnString& path, uint32_t flags, uint32_t& error) {
    VnString fileName;
    std::string key;
    error = Locate(path, flags, fileName, key);
    if (error) return 0;
    for (auto& [handle, loaded] : loaded_) {
        if (loaded.key == key) {
            ++loaded.references;
            return handle;
        }
    }
    VnHandle handle = nextBase_;
    nextBase_ += 0x10000;
    loaded_[handle] = Loaded{fileName, key, 1};
    return handle;
}

void* VnSimModules::GetProcAddress(VnHandle module, const char* name) const {
    if (reinterpret_cast<uintptr_t>(name) < 0x10000) return nullptr;  // null or an ordinal
    auto found = loaded_.find(module);
    if (found == loaded_.end()) return nullptr;
    const VnString& fileName = found->second.fileName;
    if (facts_.IsExportMissing(fileName, name)) return nullptr;
    if (void* address = registry_.Find(fileName, name)) return address;
    return SystemFunction(fileName, name);
}

void VnSimModules::Free(VnHandle module) {
    auto found = loaded_.find(module);
    if (found != loaded_.end() && --found->second.references <= 0) loaded_.erase(found);
}

VnString VnSimModules::FileNameOf(VnHandle module) const {
    auto found = loaded_.find(module);
    return found == loaded_.end() ? VnString() : found->second.fileName;
}
