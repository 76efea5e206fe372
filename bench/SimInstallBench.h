// What the benchmarks of a whole install on the simulated machine share: a
// machine prepared as the runner prepares it with a generated payload in the
// set-up's program tree, and a silent install timed in a forked child.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BenchPayload.h"
#include "VnString.h"

double Median(std::vector<double> values);

struct InstallRun {
    Timing timing;
    long peakKilobytes = 0;
    int status = -1;  // the child's exit status: 0 when the installer completed (0 or 3010)
};

// Runs the installer with "/Silent" in a forked child that opens the machine
// itself (after `inChild`, when given); the parent measures the wall clock
// and takes the child's rusage, so the CPU time is the install's alone.
InstallRun RunSilentInstallInChild(const std::string& machineFolder, const VnString& installerPath,
                                   const std::function<void()>& inChild = {});

// A fresh machine in `machineFolder` with the set-up folder copied in as the
// runner does it and the payload (the media program's shape when
// `realistic`) written into that copy's Playmoor tree. Returns the
// installer's Windows path (empty on failure) and the host path of the
// copy's Playmoor folder.
VnString PrepareMachine(const std::string& machineFolder, const std::filesystem::path& setup,
                        const std::vector<std::string>& templates, bool realistic,
                        std::filesystem::path& hostPlaymoor, Payload& payload);
