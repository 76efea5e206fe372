// CInstallApp: the installer's application object. Its start-up sequence
// (InitInstance) loads the tools library, reads the install description and
// the command line, picks the skin and language, refuses a second instance,
// runs the preflight checks, prepares the launcher in the payload and hands
// over to the wizard. It always returns false, so Run goes straight on to
// ExitInstance and the process ends with the exit code start-up left.
//
// One global instance exists (theInstallApp); its construction makes it the
// current application before the entry point runs.
#pragma once

#include <string_view>

#include "InstallOptions.h"
#include "VnApp.h"

class CInstallApp : public VnGraphicalApp {
public:
    static constexpr char16_t kMutexName[] = u"Global\\Varnel Installer";

    CInstallApp();
    // Closes the single-instance mutex and undoes COM.
    ~CInstallApp() override;

    bool InitInstance() override;
    bool ExitInstance() override;

    // The folder of the running installer, ending in a backslash (set by
    // InitInstance).
    const VnString& InstallerFolder() const { return installerFolder_; }
    // CreateMutexW's handle and the GetLastError value right after it.
    VnHandle InstanceMutex() const { return mutexHandle_; }
    uint32_t InstanceMutexError() const { return mutexError_; }

private:
    // The steps of InitInstance, in order.
    void CreateInstanceMutex();
    void RemoveVirtualStoreCopies();
    void PrepareProcessInformationBlock();
    // Refuses, with the "Critical Error" box, product names that cannot be
    // folder, file or registry key names (ProductNames.h).
    bool CheckProductNames();
    void FindInstalledCopy();
    void ReadCommandLineOptions();
    void ApplySkin();
    void ShowLanguageChooser();
    bool CheckSingleInstance();
    bool RunPreflightUnlessSkipped();
    void PrepareLauncher();
    void Log(const VnString& text);

    VnString installerFolder_;
    VnHandle mutexHandle_ = 0;
    uint32_t mutexError_ = 0;
};

// The installer's global application object.
extern CInstallApp theInstallApp;

// The process entry, shared by WinMain and the simulated-machine runner: with
// no current application it returns 0; otherwise it splits the command-line
// text into the application's arguments and returns Run's result.
int InstallerEntry(VnHandle instance, VnHandle previousInstance, std::u16string_view commandLine, int showCommand);
