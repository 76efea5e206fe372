// The test plug-ins of the demo packages: one library per kind of plug-in the
// installer tells apart by its exports, chosen at build time with one of
//   DEMO_PLUGIN_DSP        Winamp DSP ("winampDSPGetHeader2")
//   DEMO_PLUGIN_VIS        Winamp visualisation ("winampVisGetHeader")
//   DEMO_PLUGIN_INPUT=n    the program's own input plug-in, interface version n
//   DEMO_PLUGIN_BOTH       both input entry points
//   DEMO_PLUGIN_WINAMP_IN  Winamp input ("winampGetInModule2")
//   DEMO_PLUGIN_VST2       VST 2 effect ("VSTPluginMain")
//   DEMO_PLUGIN_VST3       VST 3 module ("InitDll", "GetPluginFactory")
//   DEMO_PLUGIN_GIRDER     Girder (the twelve "gir_" entries; its
//                          DllRegisterServer fails, as for every Girder plug-in)
//   DEMO_PLUGIN_NONE       no known entry
//   DEMO_PLUGIN_CRASH      a DllRegisterServer that crashes (access violation)
// The interface declarations are the installer's own (PluginInterfaces.h).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "PluginInterfaces.h"

#define EXPORT __declspec(dllexport)

#if defined(DEMO_PLUGIN_DSP)
static VnWinampDspHeader header = {0x20, "Echo DSP"};
EXPORT VnWinampDspHeader* winampDSPGetHeader2(void) { return &header; }
#endif

#if defined(DEMO_PLUGIN_VIS)
static VnWinampDspHeader header = {0x101, "Bar Spectrum"};
EXPORT void* winampVisGetHeader(void) { return &header; }
#endif

#if defined(DEMO_PLUGIN_INPUT) || defined(DEMO_PLUGIN_BOTH)
#if defined(DEMO_PLUGIN_BOTH)
#define DEMO_PLUGIN_INPUT 4
#endif
static const VnInputSourceDescription source = {DEMO_PLUGIN_INPUT,
                                                DEMO_PLUGIN_INPUT == 4 ? "Tone source" : "Old tone source",
                                                "Tone files"};
EXPORT const VnInputSourceDescription* GetInputSource(void) { return &source; }
#endif

#if defined(DEMO_PLUGIN_WINAMP_IN) || defined(DEMO_PLUGIN_BOTH)
static VnWinampInModule module = {0x100, "Wave input"};
EXPORT VnWinampInModule* winampGetInModule2(void) { return &module; }
#endif

#if defined(DEMO_PLUGIN_VST2)
static intptr_t Dispatch(VnVst2Effect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    (void)effect, (void)index, (void)value, (void)opt;
    if (opcode == VN_VST2_GET_EFFECT_NAME && ptr) {
        strcpy((char*)ptr, "Warm Reverb");
        return 1;
    }
    return 0;
}
static VnVst2Effect effect = {VN_VST2_MAGIC, &Dispatch};
EXPORT VnVst2Effect* VSTPluginMain(VnVst2HostCallback host) { return host ? &effect : NULL; }
#endif

#if defined(DEMO_PLUGIN_VST3)
static int32_t VN_PLUGIN_STDCALL CountClasses(struct VnVst3Factory* factory) {
    (void)factory;
    return 1;
}
static int32_t VN_PLUGIN_STDCALL ClassInfoOf(struct VnVst3Factory* factory, int32_t index, VnVst3ClassInfo* info) {
    (void)factory;
    if (index != 0 || !info) return 1;
    memset(info, 0, sizeof *info);
    strcpy(info->category, "Audio Module Class");
    strcpy(info->name, "Space Delay");
    return 0;
}
static uint32_t VN_PLUGIN_STDCALL Release(struct VnVst3Factory* factory) {
    (void)factory;
    return 1;
}
static const VnVst3FactoryTable table = {NULL, NULL, &Release, NULL, &CountClasses, &ClassInfoOf};
static VnVst3Factory factory = {&table};
EXPORT int VN_PLUGIN_STDCALL InitDll(void) { return 1; }
EXPORT VnVst3Factory* VN_PLUGIN_STDCALL GetPluginFactory(void) { return &factory; }
#endif

#if defined(DEMO_PLUGIN_GIRDER)
static void Text(char* buffer, int size, const char* text) {
    if (buffer && size > 0) snprintf(buffer, (size_t)size, "%s", text);
}
EXPORT void VN_PLUGIN_STDCALL gir_name(char* buffer, int size) { Text(buffer, size, "Remote Eye"); }
EXPORT void VN_PLUGIN_STDCALL gir_description(char* buffer, int size) { Text(buffer, size, "Infrared receiver"); }
EXPORT void VN_PLUGIN_STDCALL gir_version(char* buffer, int size) { Text(buffer, size, "1.2"); }
EXPORT int gir_open(void) { return 1; }
EXPORT int gir_requested_api(void) { return 1; }
EXPORT int gir_devicenum(void) { return 1; }
EXPORT int gir_config(void) { return 1; }
EXPORT int gir_close(void) { return 1; }
EXPORT int gir_start(void) { return 1; }
EXPORT int gir_info(void) { return 1; }
EXPORT int gir_stop(void) { return 1; }
EXPORT int gir_compare(void) { return 1; }
EXPORT HRESULT STDAPICALLTYPE DllRegisterServer(void) { return E_FAIL; }
#endif

#if defined(DEMO_PLUGIN_NONE)
EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow(void) { return S_OK; }
#endif

#if defined(DEMO_PLUGIN_CRASH)
EXPORT HRESULT STDAPICALLTYPE DllRegisterServer(void) {
    // The top of the address space is never the program's (Wine may map page
    // zero); volatile, so that the store is made and faults.
    int* volatile nowhere = (int*)(~(uintptr_t)0 - 15);
    *nowhere = 1;
    return S_OK;
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance, (void)reason, (void)reserved;
    return TRUE;
}
