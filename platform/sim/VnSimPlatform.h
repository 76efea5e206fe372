// A Windows machine simulated inside a folder on the Linux side.
//
// The machine folder holds (docs/sim-machine.md has the details):
//   machine.ini    the facts: what the machine is and which faults it shows
//   registry.reg   the registry, in the text `reg export` writes
//   drives/C/...   one folder per drive (the files part)
//   attributes.txt file attributes Linux cannot hold (the files part)
//   messages.log, shell.log, programs.log, restarts.log, debug.log   records
//
// OpenMachine makes a new machine (64-bit Windows 11 with defaults) in a
// folder that is missing or empty; any other folder must hold machine.ini.
// The registry and the records reach the disk on Flush and on destruction.
#pragma once

#include <memory>
#include <string>

#include "SimFacts.h"
#include "SimFiles.h"
#include "SimNetwork.h"
#include "SimProcesses.h"
#include "SimRegistry.h"
#include "SimShell.h"
#include "SimSystem.h"
#include "VnPlatform.h"

class VnSimPlatform : public IVnPlatform {
public:
    static constexpr const char* kFactsFileName = "machine.ini";
    static constexpr const char* kRegistryFileName = "registry.reg";
    static constexpr const char* kRestartLogName = "restarts.log";

    // Null with a message in `error` when the folder cannot be used or a file
    // of it cannot be read.
    static std::unique_ptr<VnSimPlatform> OpenMachine(const std::string& hostFolder, std::string& error);
    ~VnSimPlatform() override;

    const char* BackendName() const override { return "sim"; }
    IVnRegistry& Registry() override { return *registry_; }
    IVnFiles& Files() override { return *files_; }
    IVnSystem& System() override { return *system_; }
    IVnProcesses& Processes() override { return *processes_; }
    IVnShell& Shell() override { return *shell_; }
    IVnNetwork& Network() override { return network_; }

    // The parts with their simulation-only operations.
    VnSimFacts& Facts() { return facts_; }
    VnSimRegistry& SimRegistry() { return *registry_; }
    VnSimFiles& SimFiles() { return *files_; }
    VnSimProcesses& SimProcesses() { return *processes_; }
    VnSimShell& SimShell() { return *shell_; }
    const std::string& MachineFolder() const { return folder_; }

    // Writes the registry to registry.reg.
    bool Flush(std::string& error);

    // What Windows does at a restart and the next logon: the pending file
    // renames and deletions, then the HKLM RunOnce commands (the 64-bit key,
    // then the 32-bit one under Wow6432Node) and the HKCU ones, each value
    // deleted before its command is started and waited for. File-system
    // redirection is back on afterwards. Recorded in restarts.log; false when
    // something could not be done (described in `problems`).
    bool SimulateRestart(VnStringArray* problems = nullptr);

private:
    VnSimPlatform(const std::string& folder, const VnSimFacts& facts);
    void CreateStandardKeys();
    void ApplyFactsToRegistry();
    bool RunOnceCommands(VnRegRoot root, const VnString& path, VnStringArray* problems);
    void RecordRestart(const std::string& line);
    void RecordPendingFileOperations();

    std::string folder_;
    VnSimFacts facts_;
    std::unique_ptr<VnSimRegistry> registry_;
    std::unique_ptr<VnSimFiles> files_;
    std::unique_ptr<VnSimSystem> system_;
    std::unique_ptr<VnSimProcesses> processes_;
    std::unique_ptr<VnSimShell> shell_;
    VnSimNetwork network_;
    bool opened_ = false;
};
