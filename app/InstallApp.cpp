#include "InstallApp.h"

#include "AppRuntimeCalls.h"
#include "CommandLine.h"
#include "ToolsLink.h"
#include "VnDllString.h"

CInstallApp theInstallApp;

CInstallApp::CInstallApp() { AppSetErrorMode(kSemFailCriticalErrors | kSemNoOpenFileErrorBox); }

CInstallApp::~CInstallApp() {
    // The platform may already be gone when the global object is destroyed
    // at process exit; Windows closes the handle then.
    if (mutexHandle_ && VnHasPlatform()) VnPlatform().Processes().CloseHandle(mutexHandle_);
    mutexHandle_ = 0;
    UninitializeCom();
}

bool CInstallApp::ExitInstance() {
    VnDllString::SetLanguage(nullptr);
    VnSetTools(nullptr);
    UnloadProductModules();
    UninitializeCom();
    UnregisterWindowClasses();
    return true;
}

void CInstallApp::Log(const VnString& text) {
    if (ToolsInterface* tools = Tools())
        if (ToolsLog* log = tools->GetLog()) log->Write(u"CInstallApp::InitInstance", text);
}

int InstallerEntry(VnHandle instance, VnHandle previousInstance, std::u16string_view commandLine, int showCommand) {
    VnApp* app = VnApp::Current();
    if (!app) return 0;
    app->SetArguments(SplitCommandLine(commandLine));
    return app->Run(instance, previousInstance, showCommand);
}
