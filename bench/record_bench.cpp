// What the installation record costs: a whole silent install on the
// simulated machine with the record (the wizard on the recording platform,
// every change written to "VnMediaUninstall.dat" as it happens) against the
// same install without it, in the same run.
//
// Each pair gets two fresh machines with the demo set-up and the generated
// payload (about 5,000 files, half of them versioned libraries, see
// BenchPayload.h) in the set-up's program tree, so the install copies and
// records every one of them. The two installs of a pair run in alternating
// order, each in a forked child whose CPU time comes from wait4's rusage.
// Reported: the medians, the median of the pairs' CPU ratios (with /
// without), and the ratio of each side's best CPU time. Everything made is deleted afterwards.
//
//   record_bench [--runs=N] [set-up folder]   (default: ../setup beside the program, 3 pairs)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "SimInstallBench.h"
#include "WizardHandOff.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    int runs = 3;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(argument.c_str() + 7));
        else positional.push_back(argument);
    }
    const fs::path setup = !positional.empty() ? fs::path(positional[0])
                                               : fs::path(argv[0]).parent_path() / ".." / "setup";
    const std::vector<std::string> templates = ReadPeTemplates(setup);
    if (templates.empty()) {
        std::fprintf(stderr, "record_bench: no PE files in %s (build vn_demo_setup or name the set-up folder)\n",
                     setup.string().c_str());
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("vn-record-bench-" + std::to_string(getpid()));
    fs::remove_all(work);

    // Every machine is made before anything is timed (a mass of new files
    // just before a run slows the file system for whatever runs next).
    struct Machine {
        std::string folder;
        VnString installer;
    };
    std::vector<Machine> machines;
    fs::path hostPlaymoor;
    Payload payload;
    for (int i = 0; i < 2 * runs; ++i) {
        Machine machine{(work / ("machine-" + std::to_string(i + 1))).string(), {}};
        machine.installer = PrepareMachine(machine.folder, setup, templates, false, hostPlaymoor, payload);
        if (machine.installer.IsEmpty()) {
            fs::remove_all(work);
            return 1;
        }
        machines.push_back(machine);
    }
    std::printf("payload: %d files, %.1f MB in each machine's set-up\n", payload.files,
                double(payload.bytes) / (1 << 20));

    int status = 0;
    std::vector<double> withCpu, withoutCpu, withWall, withoutWall, ratios;
    auto install = [&](const Machine& machine, bool recording) {
        const InstallRun run = RunSilentInstallInChild(machine.folder, machine.installer,
                                                       [recording] { SetInstallRecording(recording); });
        if (run.status != 0) {
            std::fprintf(stderr, "record_bench: the install did not complete (child status %d)\n", run.status);
            status = 1;
        }
        const bool recorded = fs::exists(machine.folder + "/drives/C/Program Files (x86)/V Arnel/Tunaro 33/VnMediaUninstall.dat");
        if (recorded != recording) {
            std::fprintf(stderr, "record_bench: the install %s a record\n", recorded ? "left" : "did not leave");
            status = 1;
        }
        return run.timing;
    };
    for (int pair = 0; pair < runs; ++pair) {
        const Machine& first = machines[size_t(2 * pair)];
        const Machine& second = machines[size_t(2 * pair + 1)];
        const bool recordFirst = pair % 2 == 0;
        const Timing a = install(first, recordFirst);
        const Timing b = install(second, !recordFirst);
        const Timing& with = recordFirst ? a : b;
        const Timing& without = recordFirst ? b : a;
        withCpu.push_back(with.cpu), withWall.push_back(with.wall);
        withoutCpu.push_back(without.cpu), withoutWall.push_back(without.wall);
        ratios.push_back(with.cpu / without.cpu);
        std::printf("pair %d: without the record %.3f s CPU, with it %.3f s CPU, ratio %.3f\n", pair + 1, without.cpu,
                    with.cpu, ratios.back());
    }
    std::printf("\n%-26s %9s %9s\n", "", "CPU s", "wall s");
    std::printf("%-26s %9.3f %9.3f\n", "install without the record", Median(withoutCpu), Median(withoutWall));
    std::printf("%-26s %9.3f %9.3f\n", "install with the record", Median(withCpu), Median(withWall));
    std::printf("medians of %d pairs; median of the pairs' CPU ratios (with / without): %.3f\n", runs, Median(ratios));
    // On a shared machine the other processes only ever add time: the best
    // run of each side is the one least disturbed.
    const double bestWith = *std::min_element(withCpu.begin(), withCpu.end());
    const double bestWithout = *std::min_element(withoutCpu.begin(), withoutCpu.end());
    std::printf("best CPU: without %.3f s, with %.3f s, ratio %.3f\n", bestWithout, bestWith, bestWith / bestWithout);
    fs::remove_all(work);
    return status;
}
