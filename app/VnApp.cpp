#include "VnApp.h"

#include <atomic>

#include "AppRuntimeCalls.h"

namespace {
std::atomic<VnApp*> g_currentApp{nullptr};
}

VnApp::VnApp() : previous_(g_currentApp.exchange(this)) {}

VnApp::~VnApp() {
    VnApp* self = this;
    g_currentApp.compare_exchange_strong(self, previous_);
}

VnApp* VnApp::Current() { return g_currentApp.load(); }

bool VnApp::LibraryEntry(VnHandle module, bool attach, const VnString& commandLine) {
    if (!attach) return true;
    instance_ = module;
    commandLine_ = commandLine;
    if (InitInstance()) return true;
    ExitInstance();
    return false;
}

int VnApp::Run(VnHandle instance, VnHandle, int showCommand) {
    instance_ = instance;
    showCommand_ = showCommand;
    if (InitInstance()) MessageLoop();
    ExitInstance();
    return exitCode_;
}

int VnApp::RunModule(int showCommand) { return Run(AppModuleHandle(), 0, showCommand); }

VnExecutableApp::~VnExecutableApp() { UninitializeCom(); }

bool VnExecutableApp::InitializeCom() {
    if (!AppOleInitialize()) return false;
    comMode_ = kComOle;
    return true;
}

void VnExecutableApp::UninitializeCom() {
    if (comMode_ == kComOle) AppOleUninitialize();
    if (comMode_ == kComInitialize) AppCoUninitialize();
    comMode_ = kComNone;
}

void VnExecutableApp::UnloadProductModules() {
    tools_ = nullptr;
    product_ = nullptr;
    for (const LoadedModule& module : modules_) {
        if (module.uninitialise) module.uninitialise();
        VnPlatform().Processes().FreeLibrary(module.handle);
    }
    modules_.RemoveAll();
}

void VnGraphicalApp::UnregisterWindowClasses() {
    for (const VnString& className : windowClasses_) AppUnregisterClass(className, Instance());
    windowClasses_.RemoveAll();
}
