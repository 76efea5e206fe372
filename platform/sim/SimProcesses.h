// The processes part of the simulated machine: programs, named objects,
// modules, and the windows of the programs the facts say are running.
//
// Starting a program (ShellExecuteExW):
// - a URL ("https://...", "mailto:...") is recorded as opened; no process;
// - a path that does not exist fails as ShellExecuteExW does
//   (ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND when its folder is
//   missing); a bare file name is looked for in the working folder, the
//   system folder and the Windows folder;
// - a program whose file name has a stand-in (VnSimProgramRegistry) runs it
//   in-process, at once, against this same machine (with WOW64 redirection
//   on, as in a new process); it has ended by the time the caller waits,
//   unless it never ends: then waits time out after letting that much
//   simulated time pass, and TerminateProcess ends it;
// - any other program (.exe, .com, .bat, .cmd) is recorded as started and
//   ends at once with exit code 0; any other file is recorded as opened with
//   its verb, with no process; a folder likewise.
//
// Every start and what became of it goes to "programs.log" in the machine
// folder, one line per event, "#<n>" numbering the processes:
//   #1 start "C:\Setup\Playmoor\VnService.exe" /Stop
//   #1 start unknown "C:\Tools\other.exe" -x      (no stand-in)
//   #1 wait 500 ms                                (each new time limit; "wait infinite")
//   #1 exit 0                                     (the program ended with this code)
//   #1 terminate 1 after 5000 ms of waiting       (simulated time its waits timed out)
//   open "https://example.com/" verb "open"       (URLs, documents, folders)
//   start failed "C:\missing.exe" error 2
//   post 0x0010 to "Tunaro" (window of "C:\Program Files\Tunaro\Tunaro.exe") wparam 1 lparam 0
//   closed "C:\Program Files\Tunaro\Tunaro.exe"   (it ended after WM_CLOSE)
//
// Windows: FindWindow matches the windows of the facts' running programs
// (class and title compared without regard to case; an empty one matches
// any). WM_CLOSE posted to a program that closes on it ends that program for
// the rest of the session.
#pragma once

#include <cstdint>
#include <memory>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>

#include "SimFacts.h"
#include "SimFiles.h"
#include "SimModules.h"
#include "SimNamedObjects.h"
#include "SimPrograms.h"
#include "VnPlatform.h"

// One started program, as recorded.
struct VnSimStartRecord {
    uint32_t number = 0;  // the "#n" of programs.log
    VnString program;     // the Windows path started
    VnString parameters;
    bool standIn = false;        // run by a registered stand-in
    bool ended = false;
    bool terminated = false;
    uint32_t exitCode = 0;
    VnCoreArray<uint32_t> waits;  // each distinct time limit passed to WaitForProcess, in order
};

class VnSimProcesses : public IVnProcesses {
public:
    // `platform` is the machine the stand-ins run against (the object that
    // owns this part; only kept, not used while it is being built). The
    // registries default to the shared ones.
    VnSimProcesses(const VnSimFacts& facts, const std::string& machineFolder, VnSimFiles& files,
                   IVnPlatform& platform, const VnSimProgramRegistry& programs = VnSimProgramRegistry::Shared(),
                   const VnSimModuleRegistry& modules = VnSimModuleRegistry::Shared());
    ~VnSimProcesses() override;

    uint32_t StartProgram(const VnString& program, const VnString& parameters, const VnStartOptions& options,
                          VnHandle& process) override;
    uint32_t WaitForProcess(VnHandle process, uint32_t milliseconds) override;
    uint32_t TerminateProcess(VnHandle process, uint32_t exitCode) override;
    uint32_t GetExitCodeProcess(VnHandle process, uint32_t& exitCode) override;
    uint32_t ReadProcessOutput(VnHandle process, std::string& appended) override;
    void CloseHandle(VnHandle handle) override;

    VnHandle CreateMutex(const VnString& name, uint32_t& lastError) override;
    void* CreateSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping, bool& existed) override;
    void* OpenSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping) override;
    void CloseSharedMemory(VnHandle mapping, void* view) override;

    VnHandle LoadLibrary(const VnString& path, uint32_t flags, uint32_t& error) override;
    void* GetProcAddress(VnHandle module, const char* name) override;
    void FreeLibrary(VnHandle module) override;

    uintptr_t FindWindow(const VnString& className, const VnString& title) override;
    bool PostMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    // What was started in this session, in order (programs.log keeps all sessions).
    const VnCoreArray<VnSimStartRecord>& Starts() const { return starts_; }
    // Whether a program of the facts' running list still runs (path compared
    // without regard to case).
    bool IsRunning(const VnString& programPath) const;

private:
    struct Process;
    uint32_t LocateProgram(const VnString& program, const VnStartOptions& options, VnSimPath& found);
    VnHandle NewHandle();
    Process* ProcessOf(VnHandle handle);
    void RunStandIn(Process& process, const VnSimProgram& standIn, const VnStartOptions& options);
    void Record(std::initializer_list<std::string_view> pieces);
    bool IsClosed(int32_t index) const;

    const VnSimFacts& facts_;
    std::string logFile_;
    VnSimFiles& files_;
    IVnPlatform& platform_;
    const VnSimProgramRegistry& programs_;
    VnSimModules modules_;
    VnSimNamedObjects named_;
    std::unordered_map<VnHandle, std::shared_ptr<Process>> processes_;
    VnCoreArray<VnSimStartRecord> starts_;
    VnCoreArray<int32_t> closedPrograms_;  // indexes into facts.runningPrograms that WM_CLOSE ended
    uintptr_t nextHandle_ = 0x1000;
};
