#ifndef _WIN32
#include "PackageTestSupport.h"

#include <stdexcept>

#include "PluginInterfaces.h"
#include "VnFileSystem.h"
#include "SimPrograms.h"

namespace {
VnWinampDspHeader dspHeader = {0x20, "Echo DSP"};
VnWinampInModule winampIn = {0x100, "Tone input"};
VnInputSourceDescription input4 = {4, "Tone source", "Tone files"};
VnInputSourceDescription input3 = {3, "Old source", nullptr};
VnWinampDspHeader* DspHeader() { return &dspHeader; }
VnWinampInModule* InModule() { return &winampIn; }
const VnInputSourceDescription* Input4() { return &input4; }
const VnInputSourceDescription* Input3() { return &input3; }
void* VisHeader() { return nullptr; }

intptr_t Vst2Dispatch(VnVst2Effect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    if (opcode == VN_VST2_GET_EFFECT_NAME) std::snprintf(static_cast<char*>(ptr), 32, "Warm Reverb");
    return 0;
}
VnVst2Effect vst2Effect = {VN_VST2_MAGIC, &Vst2Dispatch};
VnVst2Effect* Vst2Main(VnVst2HostCallback) { return &vst2Effect; }

int32_t CountClasses(VnVst3Factory*) { return 2; }
int32_t ClassInfo(VnVst3Factory*, int32_t, VnVst3ClassInfo* info) {
    std::snprintf(info->name, sizeof info->name, "Space Delay");
    return 0;
}
uint32_t Release(VnVst3Factory*) { return 0; }
const VnVst3FactoryTable vst3Table = {nullptr, nullptr, &Release, nullptr, &CountClasses, &ClassInfo};
VnVst3Factory vst3Factory = {&vst3Table};
int InitDll() { return 1; }
VnVst3Factory* GetFactory() { return &vst3Factory; }

void GirderName(char* buffer, int size) { std::snprintf(buffer, size_t(size), "Remote Eye"); }
void GirderDescription(char* buffer, int size) { std::snprintf(buffer, size_t(size), "Infrared receiver"); }
void GirderVersion(char* buffer, int size) { std::snprintf(buffer, size_t(size), "1.2"); }
void GirderOther() {}

int32_t RegisterFails() { return int32_t(0x80004005); }
int32_t RegisterThrows() { throw std::runtime_error("broken component"); }
int32_t RegisterWorks() { return 0; }

void Register(const VnString& file, const char* name, void* address) {
    VnSimModuleRegistry::Shared().Register(file, name, address);
}
}  // namespace

void PackageTest::SetUp() { InstallFilesTest::SetUp(); }

void PackageTest::TearDown() {
    for (const VnString& name : registeredModules_) VnSimModuleRegistry::Shared().Unregister(name);
    InstallFilesTest::TearDown();
}

VnString PackageTest::WritePackage(const std::string& name, const std::string& description,
                                   const std::vector<TestZipEntry>& archive) {
    const VnString base = ScratchFolder() + u"Packages\\" + VnString::FromUtf8(name);
    WriteFile(base + u".pmp", description);
    if (!archive.empty()) WriteFile(base + u".zip", MakeTestZip(archive));
    return base + u".pmp";
}

std::vector<std::string> PackageTest::Boxes() {
    std::vector<std::string> boxes;
    for (const VnSimMessageRecord& box : Sim().SimShell().Messages())
        boxes.push_back(box.title.ToUtf8() + "|" + box.text.ToUtf8());
    return boxes;
}

std::string PackageTest::ProductValue(const std::string& key, const std::string& name) {
    return RegistryText(VnRegRoot::CurrentUser, VnString::FromUtf8("Software\\V. Arnel\\Tunaro 33\\" + key), name);
}

VnString PackageTest::WritePlugin(const VnString& path, const std::string& kind) {
    WriteFile(path, "plug-in " + kind);
    const VnString file = FileNameOf(path);
    registeredModules_.push_back(file);
    auto put = [&](const char* name, auto function) { Register(file, name, reinterpret_cast<void*>(function)); };
    if (kind == "dsp") put("winampDSPGetHeader2", &DspHeader);
    if (kind == "vis") put("winampVisGetHeader", &VisHeader), put("winampDSPGetHeader2", &DspHeader);
    if (kind == "input4") put("GetInputSource", &Input4);
    if (kind == "input3") put("GetInputSource", &Input3);
    if (kind == "both") put("GetInputSource", &Input4), put("winampGetInModule2", &InModule);
    if (kind == "winamp-in") put("winampGetInModule2", &InModule);
    if (kind == "vst2") put("VSTPluginMain", &Vst2Main);
    if (kind == "vst3") put("InitDll", &InitDll), put("GetPluginFactory", &GetFactory);
    if (kind == "girder") {
        for (const char* name : {"gir_open", "gir_requested_api", "gir_devicenum", "gir_config", "gir_close",
                                 "gir_start", "gir_info", "gir_stop", "gir_compare"})
            put(name, &GirderOther);
        put("gir_name", &GirderName), put("gir_description", &GirderDescription), put("gir_version", &GirderVersion);
        put("DllRegisterServer", &RegisterFails);
    }
    if (kind == "none") put("DllCanUnloadNow", &GirderOther);
    if (kind == "throws") put("DllRegisterServer", &RegisterThrows);
    if (kind == "com") put("DllRegisterServer", &RegisterWorks);
    return path;
}
#endif
