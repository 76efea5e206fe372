#include "VstHost.h"

#include <cstring>

#include "EngineLog.h"
#include "PluginInterfaces.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"

namespace {
intptr_t HostCallback(VnVst2Effect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == 1 ? 2400 : 0;  // audioMasterVersion: a VST 2.4 host
}

VnString TextOf(const char* bytes, size_t capacity) {
    return VnString::FromUtf8(std::string_view(bytes, strnlen(bytes, capacity)));
}
}  // namespace

bool OpenVst2Effect(const VnString& path, VnString& name) {
    VnLibraryHolder library;
    if (!VnLoadLibrary(path, 0, library)) return false;
    auto main = reinterpret_cast<VnVst2MainFunction>(library.Function("VSTPluginMain"));
    if (!main) main = reinterpret_cast<VnVst2MainFunction>(library.Function("main"));
    VnVst2Effect* effect = main ? main(&HostCallback) : nullptr;
    if (!effect || effect->magic != VN_VST2_MAGIC || !effect->dispatcher) return false;
    char buffer[256] = {};
    effect->dispatcher(effect, VN_VST2_GET_EFFECT_NAME, 0, 0, buffer, 0.0f);
    name = TextOf(buffer, 64);
    if (name.IsEmpty()) name = FileNameOf(path);
    return true;
}

VnString Vst3ModulePath(const VnString& path) {
    if (!VnFileSystem::FolderExists(path)) return path;
    VnString bundle = path;
    bundle.TrimRight(u'\\');
#if defined(_WIN64)
    const char16_t* architecture = u"x86_64-win";
#else
    const char16_t* architecture = u"x86-win";
#endif
    return bundle + u"\\Contents\\" + architecture + u"\\" + FileNameOf(bundle);
}

bool OpenVst3Module(const VnString& path, VnString& name) {
    VnLibraryHolder library;
    if (!VnLoadLibrary(Vst3ModulePath(path), 0, library)) return false;
    auto init = reinterpret_cast<VnVst3InitDllFunction>(library.Function("InitDll"));
    auto getFactory = reinterpret_cast<VnVst3GetFactoryFunction>(library.Function("GetPluginFactory"));
    if (!init || !getFactory || !init()) return false;
    VnVst3Factory* factory = getFactory();
    if (!factory || !factory->table || !factory->table->countClasses) return false;
    const int32_t classes = factory->table->countClasses(factory);
    VnVst3ClassInfo info = {};
    if (classes > 0 && factory->table->getClassInfo && factory->table->getClassInfo(factory, 0, &info) == 0)
        name = TextOf(info.name, sizeof info.name);
    if (name.IsEmpty()) name = FileNameOf(path);
    if (factory->table->release) factory->table->release(factory);
    EngineLog(u"VstHost", VnString::Format(u"\"%s\": %d classes", path, int(classes)));
    return classes > 0;
}
