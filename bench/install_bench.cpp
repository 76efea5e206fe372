// A whole silent install on the simulated machine against `cp -r` of the same
// payload in the same run.
//
// A fresh machine gets the demo set-up folder (build/native/setup) as the
// runner puts it, and the generated payload (about 5,000 files and 200 MB of
// mixed sizes, half of them versioned libraries; with --realistic the shape of
// a media program, see BenchPayload.h) is written into that copy under
// "Playmoor\Bench Payload\", so the install copies it into the program folder
// with the rest of the program tree. One such machine is made per pair of
// runs (three by default); each pair times, in alternating order:
//   cp -r        of the copy's Playmoor tree to a folder in /tmp (the baseline)
//   installer    "/Silent", run with RunInstallerInMachine in a forked child,
//                each time on a machine of its own
// The install runs in a child so that its CPU time and its peak resident
// memory come from wait4's rusage of that child alone (the child starts as a
// copy of this process, whose resident size at the fork is printed too). The
// log's "Finish (<n> ms)" durations are of the machine's simulated clock, so
// where the time goes is for a profiler: run this under `perf record -g` and
// look at the child's process (docs/benchmarks.md).
// Everything made is deleted afterwards.
//
//   install_bench [--keep] [--realistic] [--runs=N] [set-up folder]   (default: ../setup beside the program)
//   install_bench --write-payload FOLDER [--realistic] [set-up folder]
// --keep leaves the machines in /tmp for a look at what was installed.
// --write-payload only writes the payload into FOLDER and prints its size, for
// scripts/bench-install-wine.sh.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "BenchPayload.h"
#include "SimInstallBench.h"
#include "SimInstallerRun.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

int g_runs = 3;             // pairs of runs (--runs=N)
bool g_realistic = false;   // the shape of a real media program (--realistic)

Payload WriteChosenPayload(const fs::path& root, const std::vector<std::string>& templates) {
    return g_realistic ? WriteRealisticPayload(root, templates) : WritePayload(root, templates);
}

long ResidentKilobytesNow() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

void Report(const char* name, const Timing& timing, const Payload& payload, const Timing& baseline) {
    std::printf("%-22s %9.3f %9.3f %9.3f %10.0f %8.1f %9.2fx %9.2fx\n", name, timing.cpu, timing.user, timing.wall,
                payload.files / timing.wall, double(payload.bytes) / (1 << 20) / timing.wall, timing.cpu / baseline.cpu,
                timing.wall / baseline.wall);
}

}  // namespace

int main(int argc, char** argv) {
    bool keep = false;
    std::string payloadFolder;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--keep") keep = true;
        else if (argument == "--realistic") g_realistic = true;
        else if (argument.rfind("--runs=", 0) == 0) g_runs = std::max(1, std::atoi(argument.c_str() + 7));
        else if (argument == "--write-payload" && i + 1 < argc) payloadFolder = argv[++i];
        else positional.push_back(argument);
    }
    const bool writeOnly = !payloadFolder.empty();
    const fs::path setup = !positional.empty() ? fs::path(positional[0])
                                               : fs::path(argv[0]).parent_path() / ".." / "setup";
    const std::vector<std::string> templates = ReadPeTemplates(setup);
    if (templates.empty()) {
        std::fprintf(stderr, "install_bench: no PE files in %s (build vn_demo_setup or name the set-up folder)\n",
                     setup.string().c_str());
        return 1;
    }
    if (writeOnly) {
        const Payload payload = WriteChosenPayload(payloadFolder, templates);
        std::printf("payload: %d files, %.1f MB\n", payload.files, double(payload.bytes) / (1 << 20));
        return 0;
    }
    const fs::path work = fs::temp_directory_path() / ("vn-install-bench-" + std::to_string(getpid()));
    fs::remove_all(work);

    // Everything is created before anything is timed and nothing is deleted
    // until the end: a mass delete just before a run makes the file system's
    // inode allocation slower for whatever runs next.
    std::vector<std::string> machines;
    std::vector<VnString> installers;
    fs::path hostPlaymoor;
    Payload payload;
    for (int run = 0; run < g_runs; ++run) {
        machines.push_back((work / ("machine-" + std::to_string(run + 1))).string());
        installers.push_back(PrepareMachine(machines.back(), setup, templates, g_realistic, hostPlaymoor, payload));
        if (installers.back().IsEmpty()) {
            fs::remove_all(work);
            return 1;
        }
    }
    std::printf("payload (%s): %d files, %.1f MB, in each machine's\n  %s\n",
                g_realistic ? "a media program's shape" : "half of them versioned libraries", payload.files,
                double(payload.bytes) / (1 << 20), (hostPlaymoor / "Bench Payload").string().c_str());

    // Pairs, alternating which side goes first (cp -r / install, install /
    // cp -r, ...), so neither always runs on a colder or warmer disk; each
    // pair gives one ratio, and the medians are reported.
    int status = 0;
    std::vector<double> copyCpu, copyUser, copyWall, installCpu, installUser, installWall, ratios;
    long peakKilobytes = 0;
    auto timeCopy = [&](int run) {
        const std::string command =
            "cp -r '" + hostPlaymoor.string() + "' '" + (work / ("cp-out-" + std::to_string(run))).string() + "'";
        return Measure([&] {
            if (std::system(command.c_str()) != 0) status = 1;
        });
    };
    const long residentAtFork = ResidentKilobytesNow();
    for (int run = 0; run < g_runs; ++run) {
        Timing copy;
        if (run % 2 == 0) copy = timeCopy(run);
        const InstallRun thisRun = RunSilentInstallInChild(machines[size_t(run)], installers[size_t(run)]);
        if (run % 2 == 1) copy = timeCopy(run);
        if (thisRun.status != 0) {
            std::fprintf(stderr, "install_bench: the install did not complete (child status %d)\n", thisRun.status);
            status = 1;
        }
        peakKilobytes = std::max(peakKilobytes, thisRun.peakKilobytes);
        copyCpu.push_back(copy.cpu), copyUser.push_back(copy.user), copyWall.push_back(copy.wall);
        installCpu.push_back(thisRun.timing.cpu), installUser.push_back(thisRun.timing.user);
        installWall.push_back(thisRun.timing.wall);
        ratios.push_back(thisRun.timing.cpu / copy.cpu);
        std::printf("pair %d: cp -r %.3f s CPU, install %.3f s CPU, ratio %.2f\n", run + 1, copy.cpu,
                    thisRun.timing.cpu, ratios.back());
    }
    const Timing baseline{Median(copyWall), Median(copyCpu), Median(copyUser)};
    const Timing install{Median(installWall), Median(installCpu), Median(installUser)};

    std::printf("\n%-22s %9s %9s %9s %10s %8s %10s %10s\n", "", "CPU s", "user s", "wall s", "files/s", "MB/s",
                "CPU ratio", "wall ratio");
    Report("cp -r Playmoor", baseline, payload, baseline);
    Report("silent install", install, payload, baseline);
    std::printf("medians of %d pairs; median of the pairs' CPU ratios: %.2f; files/s and MB/s by wall clock\n"
                "(the install also copies the demo product's own files, writes the registry and its log)\n",
                g_runs, Median(ratios));
    std::printf("installer peak resident memory: %ld KB (the largest child's ru_maxrss; each child started as a\n"
                "  copy of this process at %ld KB resident)\n",
                peakKilobytes, residentAtFork);
    if (keep)
        std::printf("the machines are kept in %s\n", work.string().c_str());
    else
        fs::remove_all(work);
    return status;
}
