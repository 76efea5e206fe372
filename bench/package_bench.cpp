// Unpacking a plug-in package's zip archive on the simulated machine (the
// tools library's extraction, zlib inflating, as CInstallPackage unpacks)
// against `unzip` of the same archive, in the same run.
//
// The payload is the benchmarks' usual one (about 5,000 files and 200 MB of
// mixed sizes, half of them versioned libraries), zipped with `zip -6`. The
// two sides take turns for a number of rounds and the median CPU time of each
// is reported (the machine is shared, single runs scatter); the outputs are
// compared with `diff -r` and everything made is deleted afterwards.
//
//   package_bench [set-up folder [rounds]]   (default: ../setup beside the program, 5)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchPayload.h"
#include "ToolsLibrary.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {
int Run(const std::string& command) { return std::system(command.c_str()); }

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

Timing Median(std::vector<Timing> runs) {
    std::sort(runs.begin(), runs.end(), [](const Timing& a, const Timing& b) { return a.cpu < b.cpu; });
    return runs[runs.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    const fs::path setup = argc > 1 ? fs::path(argv[1]) : fs::absolute(argv[0]).parent_path() / ".." / "setup";
    const fs::path work = fs::temp_directory_path() / ("package_bench." + std::to_string(::getpid()));
    fs::create_directories(work);
    const Payload payload = WritePayload(work / "payload", ReadPeTemplates(setup));
    const fs::path archive = work / "package.zip";
    if (Run("cd " + Quoted(work / "payload") + " && zip -q -r -6 " + Quoted(archive) + " .") != 0) {
        std::fprintf(stderr, "package_bench: zip failed\n");
        return 1;
    }
    std::printf("payload: %d files, %.1f MB; archive %.1f MB\n", payload.files, double(payload.bytes) / (1 << 20),
                double(fs::file_size(archive)) / (1 << 20));

    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<Timing> unzipRuns, ourRuns;
    bool same = true;
    for (int round = 0; round < rounds; ++round) {
        const fs::path unzipped = work / "unzipped";
        fs::remove_all(unzipped);
        unzipRuns.push_back(Measure([&] { Run("unzip -q -o " + Quoted(archive) + " -d " + Quoted(unzipped)); }));

        const fs::path machineFolder = work / ("machine" + std::to_string(round));
        std::string error;
        auto machine = VnSimPlatform::OpenMachine(machineFolder.string(), error);
        if (!machine) {
            std::fprintf(stderr, "package_bench: %s\n", error.c_str());
            return 1;
        }
        VnSetPlatform(machine.get());
        fs::create_hard_link(archive, machineFolder / "drives" / "C" / "package.zip");
        bool extracted = false;
        {
            VnToolsLibrary tools;
            ourRuns.push_back(Measure([&] {
                extracted = tools.GetArchive()->Extract(u"C:\\package.zip", u"C:\\Unpacked\\", true);
            }));
            std::printf("round %d: unzip CPU %.3f s, Extract CPU %.3f s (%.2fx)\n", round + 1, unzipRuns.back().cpu,
                        ourRuns.back().cpu, ourRuns.back().cpu / unzipRuns.back().cpu);
        }
        VnSetPlatform(nullptr);
        machine.reset();
        same = same && extracted &&
               Run("diff -rq " + Quoted(unzipped) + " " + Quoted(machineFolder / "drives" / "C" / "Unpacked") +
                   " >/dev/null") == 0;
        fs::remove_all(machineFolder);
    }
    const Timing unzip = Median(unzipRuns), ours = Median(ourRuns);
    auto report = [&](const char* name, const Timing& timing) {
        std::printf("%-30s CPU %7.3f s (wall %7.3f s)  %7.1f MB/s  %5.2fx unzip\n", name, timing.cpu, timing.wall,
                    double(payload.bytes) / (1 << 20) / timing.cpu, timing.cpu / unzip.cpu);
    };
    std::printf("median of %d rounds by CPU time:\n", rounds);
    report("unzip -q", unzip);
    report("tools library Extract", ours);
    std::printf("outputs %s\n", same ? "identical" : "DIFFER");
    fs::remove_all(work);
    return same ? 0 : 1;
}
