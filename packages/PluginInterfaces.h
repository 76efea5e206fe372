/* The plug-in entry points that detection calls, as C declarations shared
 * with the test plug-ins the build makes. Winamp 2 and VST 2 headers are
 * reduced to the leading fields that are read; the program's own input
 * interface is its own. */
#ifndef VN_PLUGIN_INTERFACES_H
#define VN_PLUGIN_INTERFACES_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define VN_PLUGIN_STDCALL __attribute__((stdcall))
#else
#define VN_PLUGIN_STDCALL
#endif

/* winampDSPGetHeader2(): the header begins with its version and description. */
typedef struct {
    int version;
    const char* description;
} VnWinampDspHeader;
typedef VnWinampDspHeader* (*VnWinampDspGetHeaderFunction)(void);

/* winampGetInModule2(): the module begins with its version and description. */
typedef struct {
    int version;
    const char* description;
} VnWinampInModule;
typedef VnWinampInModule* (*VnWinampGetInModuleFunction)(void);

/* GetInputSource(): the program's own input plug-in interface (UTF-8 texts,
 * null when absent). Version 4 is the one this program loads. */
typedef struct {
    int interfaceVersion;
    const char* name;
    const char* fileDescription;
} VnInputSourceDescription;
typedef const VnInputSourceDescription* (*VnGetInputSourceFunction)(void);

/* VST 2: VSTPluginMain(host callback) or main(...) gives the effect; its
 * dispatcher answers opcode 45 (the effect's name, at most 32 bytes). */
#define VN_VST2_MAGIC 0x56737450 /* 'VstP' */
#define VN_VST2_GET_EFFECT_NAME 45
struct VnVst2Effect;
typedef intptr_t (*VnVst2HostCallback)(struct VnVst2Effect*, int32_t, int32_t, intptr_t, void*, float);
typedef intptr_t (*VnVst2Dispatcher)(struct VnVst2Effect*, int32_t, int32_t, intptr_t, void*, float);
typedef struct VnVst2Effect {
    int32_t magic;
    VnVst2Dispatcher dispatcher;
} VnVst2Effect;
typedef VnVst2Effect* (*VnVst2MainFunction)(VnVst2HostCallback);

/* VST 3: InitDll() then GetPluginFactory(); the factory is a COM-style object
 * whose fifth entry counts its classes and sixth describes one. */
typedef struct {
    char cid[16];
    int32_t cardinality;
    char category[32];
    char name[64];
} VnVst3ClassInfo;
struct VnVst3Factory;
typedef struct {
    void* queryInterface;
    void* addRef;
    uint32_t(VN_PLUGIN_STDCALL* release)(struct VnVst3Factory*);
    void* getFactoryInfo;
    int32_t(VN_PLUGIN_STDCALL* countClasses)(struct VnVst3Factory*);
    int32_t(VN_PLUGIN_STDCALL* getClassInfo)(struct VnVst3Factory*, int32_t, VnVst3ClassInfo*);
} VnVst3FactoryTable;
typedef struct VnVst3Factory {
    const VnVst3FactoryTable* table;
} VnVst3Factory;
typedef int(VN_PLUGIN_STDCALL* VnVst3InitDllFunction)(void);
typedef VnVst3Factory*(VN_PLUGIN_STDCALL* VnVst3GetFactoryFunction)(void);

/* Girder: the text entries fill a caller's buffer. */
typedef void(VN_PLUGIN_STDCALL* VnGirderTextFunction)(char* buffer, int size);

#endif
