// Runs the installer in this process against a simulated machine: the set-up
// folder is copied into the machine, the installer's own path is pointed into
// that copy, the machine becomes the platform, the stand-ins are registered,
// and the installer's entry runs with the given command line.
//
// The runner vninstall-sim and the start-up tests use it.
#pragma once

#include <string>

#include "VnSimPlatform.h"
#include "VnString.h"

constexpr char16_t kInstallerFileName[] = u"Tunaro Install Wizard.exe";

// Where the runner puts the set-up folder: "<profile>\Downloads\Tunaro Setup\",
// as if the user had downloaded and unpacked it.
VnString DefaultSetupFolder(VnSimPlatform& machine);

// Copies the host folder `hostSetupFolder` with everything below it into the
// machine at `windowsFolder` (created with its parents), through the machine's
// files part. Existing files are overwritten. False with a message on failure.
bool CopySetupIntoMachine(VnSimPlatform& machine, const std::string& hostSetupFolder, const VnString& windowsFolder,
                          int& filesCopied, std::string& error);

// Registers the in-process stand-ins (the tools library, the companion
// programs) with the simulated machine's module and program tables.
void RegisterStandIns();

// Points the installer's own path at `installerPath`, makes `machine` the
// platform, runs the installer entry with `commandLine` and returns its exit
// code. The per-process state of the run (the process-information block, the
// cached system facts) is dropped afterwards, the machine flushed, and the
// platform that was installed before is put back.
int RunInstallerInMachine(VnSimPlatform& machine, const VnString& installerPath, const VnString& commandLine);
