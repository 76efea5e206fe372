// The closing summary of a run of vninstall-sim: how many files the install
// put on the machine, how many wait for the restart, how many registry values
// it wrote, how many programs it started, and how long it took.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "SimMachineSnapshot.h"
#include "VnSimPlatform.h"

struct SimRunSummary {
    // Files added or changed, outside the set-up folder and the temporary folder.
    int filesInstalled = 0;
    // Files whose replacement waits for the next restart: replaced by Windows
    // or staged for finalisation, each file once.
    int filesDeferred = 0;
    // Registry values added or changed.
    int registryValuesWritten = 0;
    // Programs the installer started (the "start" lines of programs.log).
    int programsStarted = 0;
    double seconds = 0;
};

// `programLines` are the lines programs.log gained during the run.
SimRunSummary SummariseRun(VnSimPlatform& machine, const SimMachineSnapshot& before, const SimMachineSnapshot& after,
                           const std::vector<std::string>& programLines, const VnString& setupFolder, double seconds);

void PrintRunSummary(std::ostream& out, const SimRunSummary& summary);
