#include "DependencySetups.h"

#include "VnPlatform.h"

namespace {

constexpr const char16_t* kStartsKey = u"Software\\V. Arnel\\Demo Starts\\";

uint32_t RecordStart(const VnString& fileName, const VnString& parameters) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (uint32_t error = registry.CreateKey(VnRegRoot::CurrentUser, kStartsKey + fileName, vnwin::kKeyReadWrite, key))
        return error;
    VnRegValue count;
    uint32_t starts = registry.QueryValue(key, u"Start Count", count) == 0 && count.type == vnwin::kRegDword
                          ? uint32_t(count.number)
                          : 0;
    uint32_t error = registry.SetValue(key, u"Command Line", VnRegValue::String(parameters));
    if (!error) error = registry.SetValue(key, u"Start Count", VnRegValue::Dword(starts + 1));
    registry.CloseKey(key);
    return error;
}

uint32_t InstallDirectX() {
    // The library's file only: nothing loads it.
    const VnString path = VnPlatform().System().GetSystemDirectory() + u"\\d3dx9_43.dll";
    return VnPlatform().Files().WriteFile(path, "Demo DirectX 9 extension library\r\n");
}

uint32_t InstallWebView() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (uint32_t error = registry.CreateKey(VnRegRoot::LocalMachine, kWebViewClientKey,
                                            vnwin::kKeyReadWrite | vnwin::kKeyWow64_32Key, key))
        return error;
    uint32_t error = registry.SetValue(key, u"pv", VnRegValue::String(kDemoWebViewVersion));
    registry.CloseKey(key);
    return error;
}

}  // namespace

const DependencySetupProgram kDependencySetupPrograms[] = {
    {u"d3dx943.exe", InstallDirectX},
    {u"MicrosoftEdgeWebview2Setup.exe", InstallWebView},
    {nullptr, nullptr},
};

const DependencySetupProgram* FindDependencySetupProgram(const VnString& fileName) {
    for (const DependencySetupProgram* program = kDependencySetupPrograms; program->fileName; ++program)
        if (fileName.EqualsNoCase(program->fileName)) return program;
    return nullptr;
}

uint32_t RunDependencySetupProgram(const DependencySetupProgram& program, const VnString& parameters) {
    if (uint32_t error = RecordStart(program.fileName, parameters)) return error;
    return program.install();
}
