// Process part of the Windows backend: starting and waiting for programs,
// named mutexes and shared memory, modules, and other programs' windows.
#pragma once

#include <map>

#include "VnPlatform.h"
#include "VnWin32Api.h"

class VnWin32Processes : public IVnProcesses {
public:
    ~VnWin32Processes() override;

    uint32_t StartProgram(const VnString& program, const VnString& parameters, const VnStartOptions& options,
                          VnHandle& process) override;
    uint32_t WaitForProcess(VnHandle process, uint32_t milliseconds) override;
    uint32_t TerminateProcess(VnHandle process, uint32_t exitCode) override;
    uint32_t GetExitCodeProcess(VnHandle process, uint32_t& exitCode) override;
    // Takes only what is already in the pipe, so a caller polling a running
    // child never blocks; ERROR_BROKEN_PIPE once the child closed its end and
    // everything was read.
    uint32_t ReadProcessOutput(VnHandle process, std::string& appended) override;
    void CloseHandle(VnHandle handle) override;

    VnHandle CreateMutex(const VnString& name, uint32_t& lastError) override;
    void* CreateSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping, bool& existed) override;
    void* OpenSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping) override;
    void CloseSharedMemory(VnHandle mapping, void* view) override;

    VnHandle LoadLibrary(const VnString& path, uint32_t flags, uint32_t& error) override;
    void* GetProcAddress(VnHandle module, const char* name) override;
    void FreeLibrary(VnHandle module) override;
    uint32_t CallLibraryEntry(void* entry, int32_t& result) override;  // VnWin32GuardedCall.cpp

    uintptr_t FindWindow(const VnString& className, const VnString& title) override;
    bool PostMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

private:
    uint32_t ShellExecuteProgram(const VnString& program, const VnString& parameters, const VnStartOptions& options,
                                 VnHandle& process);
    uint32_t CreateProcessWithPipe(const VnString& program, const VnString& parameters,
                                   const VnStartOptions& options, VnHandle& process);

    // The read end of the output pipe of each child started with captureOutput.
    std::map<VnHandle, HANDLE> outputPipes_;
};
