// The application framework the installer is built on: a chain of classes
// whose virtual operations sit in a fixed slot order (the destructor is slot
// 0). Each product program derives its application class from one of them;
// the installer's is CInstallApp : VnGraphicalApp : VnExecutableApp : VnApp.
//
// One application object exists per process. Constructing it makes it the
// current application (VnApp::Current), before the entry point runs.
#pragma once

#include <cstdint>

#include "ToolsInterface.h"
#include "VnArray.h"
#include "VnPlatform.h"
#include "VnString.h"

class VnApp {
public:
    VnApp();
    // Slot 0. The previous application becomes current again.
    virtual ~VnApp();
    VnApp(const VnApp&) = delete;
    VnApp& operator=(const VnApp&) = delete;

    // Slot 1: the entry when the framework is built as a library. On attach
    // it stores the module handle and the process's command-line text and runs
    // InitInstance, and ExitInstance when that fails.
    virtual bool LibraryEntry(VnHandle module, bool attach, const VnString& commandLine);
    // Slot 2: stores the instance handle and show command, runs InitInstance,
    // the message loop when that succeeded, always ExitInstance; returns the
    // exit code.
    virtual int Run(VnHandle instance, VnHandle previousInstance, int showCommand);
    // Slot 3: Run with the process's own module as the instance.
    virtual int RunModule(int showCommand);
    // Slot 4: the program's start-up; true to enter the message loop.
    virtual bool InitInstance() { return false; }
    // Slot 5: the program's shutdown.
    virtual bool ExitInstance() { return true; }
    // Slot 6: the message loop. Programs that have one get it from the window
    // toolkit; here it has nothing to run and returns at once.
    virtual int MessageLoop() { return exitCode_; }
    // Slots 7 to 9 have no work in this framework's programs.
    virtual bool ReservedSlot7() { return true; }
    virtual void ReservedSlot8() {}
    virtual bool ReservedSlot9() { return true; }

    // The application object of the process, or null.
    static VnApp* Current();

    // The command-line arguments (as the entry split them).
    void SetArguments(const VnStringArray& arguments) { arguments_ = arguments; }
    const VnStringArray& Arguments() const { return arguments_; }
    VnHandle Instance() const { return instance_; }
    int ShowCommand() const { return showCommand_; }
    // The process exit code, 0 until a part of the program sets it.
    int ExitCode() const { return exitCode_; }
    void SetExitCode(int exitCode) { exitCode_ = exitCode; }

protected:
    VnString commandLine_;  // the text LibraryEntry received

private:
    VnApp* previous_;
    VnHandle instance_ = 0;
    int showCommand_ = 0;
    VnStringArray arguments_;
    int exitCode_ = 0;
};

// A program of the product: it loads the product's tools library and
// initialises COM.
class VnExecutableApp : public VnApp {
public:
    enum ComMode { kComNone = 0, kComInitialize = 1, kComOle = 2 };

    ~VnExecutableApp() override;

    // Slot 10: loads the tools library from the module folder of the
    // process-information block and asks it for the product information;
    // shows the "Critical Error" box and returns false when either fails.
    virtual bool LoadTools();
    // Slot 11: OleInitialize; records kComOle on success.
    virtual bool InitializeCom();
    // Slot 12: undoes slot 11 by the recorded mode.
    virtual void UninitializeCom();
    // Slot 13: crash reporting. The installer does not install it.
    virtual bool InstallCrashHandler() { return false; }

    ToolsInterface* Tools() const { return tools_; }
    ProductInformation* Product() const { return product_; }
    ComMode GetComMode() const { return comMode_; }

protected:
    // Calls each loaded module's uninitialise entry, where it has one, then
    // frees it.
    void UnloadProductModules();
    // The "Critical Error" box naming the installer and the library's reason.
    void ReportToolsFailure(const VnString& error);

private:
    struct LoadedModule {
        VnHandle handle = 0;
        ReleaseVnToolsDLLFunction uninitialise = nullptr;
    };

    ToolsInterface* tools_ = nullptr;
    ProductInformation* product_ = nullptr;
    VnCoreArray<LoadedModule> modules_;
    ComMode comMode_ = kComNone;
};

// A program with windows: it keeps the names of the window classes it
// registered so that shutdown can unregister them.
class VnGraphicalApp : public VnExecutableApp {
public:
    void AddRegisteredWindowClass(const VnString& className) { windowClasses_.Add(className); }
    const VnStringArray& RegisteredWindowClasses() const { return windowClasses_; }

protected:
    void UnregisterWindowClasses();

private:
    VnStringArray windowClasses_;
};
