#include "RuntimeFunctionTables.h"

#include <memory>
#include <mutex>

namespace {

struct Tables {
    CKernel32Functions kernel32;
    CUser32Functions user32;
    CSetupApiFunctions setupapi;
};

std::mutex g_tablesMutex;
std::unique_ptr<Tables> g_tables;

Tables& TablesInUse() {
    std::lock_guard<std::mutex> lock(g_tablesMutex);
    if (!g_tables) g_tables = std::make_unique<Tables>();
    return *g_tables;
}

void LoadSystemLibrary(const char16_t* name, VnLibraryHolder& library) { VnLoadLibrary(name, 0, library); }

}  // namespace

#define VN_RESOLVE(name) name = library.Function(#name)

CKernel32Functions::CKernel32Functions() {
    LoadSystemLibrary(u"kernel32.dll", library);
    VN_RESOLVE(Wow64EnableWow64FsRedirection);
    VN_RESOLVE(IsWow64Process);
    VN_RESOLVE(GetVolumeNameForVolumeMountPointW);
    VN_RESOLVE(CreateNamedPipeW);
    VN_RESOLVE(GetProcessHandleCount);
    VN_RESOLVE(GetLargePageMinimum);
    VN_RESOLVE(GetProcessDEPPolicy);
    VN_RESOLVE(SetProcessDEPPolicy);
    VN_RESOLVE(CancelSynchronousIo);
    VN_RESOLVE(GetSystemTimePreciseAsFileTime);
}

CUser32Functions::CUser32Functions() {
    LoadSystemLibrary(u"user32.dll", library);
    VN_RESOLVE(GetRawInputDeviceList);
    VN_RESOLVE(GetRawInputDeviceInfoW);
    VN_RESOLVE(GetRawInputData);
    VN_RESOLVE(RegisterRawInputDevices);
}

CSetupApiFunctions::CSetupApiFunctions() {
    LoadSystemLibrary(u"setupapi.dll", library);
    VN_RESOLVE(SetupDiGetClassDevsW);
    VN_RESOLVE(SetupDiEnumDeviceInfo);
    VN_RESOLVE(SetupDiEnumDeviceInterfaces);
    VN_RESOLVE(SetupDiGetDeviceInterfaceDetailW);
    VN_RESOLVE(SetupDiGetDeviceRegistryPropertyW);
    VN_RESOLVE(SetupDiDestroyDeviceInfoList);
}

#undef VN_RESOLVE

const CKernel32Functions& Kernel32Functions() { return TablesInUse().kernel32; }
const CUser32Functions& User32Functions() { return TablesInUse().user32; }
const CSetupApiFunctions& SetupApiFunctions() { return TablesInUse().setupapi; }

void FreeRuntimeFunctionTables() {
    std::unique_ptr<Tables> freed;
    {
        std::lock_guard<std::mutex> lock(g_tablesMutex);
        freed = std::move(g_tables);
    }
}

bool RunsUnderWow64() {
    return Kernel32Functions().IsWow64Process != nullptr && VnPlatform().System().IsWow64Process();
}
