// The folder copy on the simulated machine against `cp -r` of the same payload
// in the same run.
//
// A payload of about 5,000 files and 200 MB of mixed sizes is generated inside
// a new simulated machine in /tmp: half of the files are versioned Windows
// libraries (the demo set-up's own small PE files, padded to their size), the
// rest plain data, in a tree of folders. Then, each measured twice with the
// best kept, the machine reopened and the outputs removed between runs
// outside the timing:
//   cp -r               the baseline
//   CopyFolder mode 1   always overwrite (the program files)
//   CopyFolder mode 0   check version, into an empty destination (every
//                       library is read for its version, then copied)
//   CopyFolder mode 0   again over that copy: equal versions, nothing copied
// CPU and wall-clock time, files/s, MB/s, the ratio to cp -r (by CPU time),
// and the peak resident memory (getrusage) are printed. Everything made is
// deleted afterwards.
//
//   copy_bench [--mode1-only] [set-up folder]   (default: ../setup beside the program)
// --mode1-only runs one CopyFolder in mode 1 and nothing else, for profiling.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchPayload.h"
#include "FileCopy.h"
#include "FileListing.h"
#include "RuntimeFunctionTables.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 2;

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Report(const char* name, const Timing& timing, const Payload& payload, const Timing& baseline) {
    std::printf("%-36s CPU %7.3f s (wall %7.3f s)  %7.0f files/s  %7.1f MB/s  %6.2fx cp -r\n", name, timing.cpu,
                timing.wall, payload.files / timing.cpu, double(payload.bytes) / (1 << 20) / timing.cpu,
                timing.cpu / baseline.cpu);
}

// The simulated machine in `folder`, opened afresh before each timed copy:
// the machine keeps the attributes Linux cannot hold in a file that it
// rewrites whole at every change, so each copy starts with that record empty
// (and, unless asked to keep it, without the previous output).
class BenchMachine {
public:
    explicit BenchMachine(fs::path folder) : folder_(std::move(folder)) {}
    ~BenchMachine() { Close(); }
    fs::path Drive() const { return folder_ / "drives" / "C"; }
    bool Reopen(bool keepOutput) {
        Close();
        if (!keepOutput) fs::remove_all(Drive() / "Out");
        fs::remove(folder_ / "attributes.txt");
        std::string error;
        machine_ = VnSimPlatform::OpenMachine(folder_.string(), error);
        if (!machine_) std::fprintf(stderr, "copy_bench: %s\n", error.c_str());
        VnSetPlatform(machine_.get());
        return machine_ != nullptr;
    }

private:
    void Close() {
        FreeRuntimeFunctionTables();
        VnSetPlatform(nullptr);
        machine_.reset();
    }
    fs::path folder_;
    std::unique_ptr<VnSimPlatform> machine_;
};

Timing TimedCopy(int mode) {
    VnStringArray registerList;  // collected, as the install does
    return Measure([&] { CopyFolder(mode, nullptr, u"C:\\Payload\\", u"C:\\Out\\", &registerList); });
}

}  // namespace

int main(int argc, char** argv) {
    const bool mode1Only = argc > 1 && std::string(argv[1]) == "--mode1-only";
    const int folderArgument = mode1Only ? 2 : 1;
    const fs::path setup = argc > folderArgument ? fs::path(argv[folderArgument])
                                                 : fs::path(argv[0]).parent_path() / ".." / "setup";
    const std::vector<std::string> templates = ReadPeTemplates(setup);
    if (templates.empty()) {
        std::fprintf(stderr, "copy_bench: no PE files in %s (build vn_demo_setup or name the set-up folder)\n",
                     setup.string().c_str());
        return 1;
    }

    const fs::path work = fs::temp_directory_path() / ("vn-copy-bench-" + std::to_string(getpid()));
    fs::remove_all(work);
    int status = 0;
    {
        BenchMachine machine(work / "machine");
        if (!machine.Reopen(false)) return 1;
        const Payload payload = WritePayload(machine.Drive() / "Payload", templates);
        std::printf("payload: %d files, %.1f MB (half of them versioned libraries), in %s\n", payload.files,
                    double(payload.bytes) / (1 << 20), machine.Drive().string().c_str());
        if (mode1Only) {
            std::printf("CopyFolder mode 1: %.3f s CPU\n", TimedCopy(kCopyAlwaysOverwrite).cpu);
        } else {
            VnCoreArray<VnListedFile> listed;
            const Timing listing = Measure([&] { ListFilesBelow(u"C:\\Payload\\", listed); });
            const std::string copyCommand =
                "cp -r '" + (machine.Drive() / "Payload").string() + "' '" + (work / "cp-out").string() + "'";
            Timing baseline, mode1, mode0, mode0Again;
            for (int run = 0; run < kRepeats && status == 0; ++run) {
                fs::remove_all(work / "cp-out");
                baseline.KeepBest(Measure([&] {
                    if (std::system(copyCommand.c_str()) != 0) status = 1;
                }));
                if (!machine.Reopen(false)) return 1;
                mode1.KeepBest(TimedCopy(kCopyAlwaysOverwrite));
                if (!machine.Reopen(false)) return 1;
                mode0.KeepBest(TimedCopy(kCopyCheckVersion));
                if (!machine.Reopen(true)) return 1;
                mode0Again.KeepBest(TimedCopy(kCopyCheckVersion));
            }
            std::printf("listing the payload (%d files): CPU %.3f s\n", listed.GetSize(), listing.cpu);
            Report("cp -r (baseline)", baseline, payload, baseline);
            Report("CopyFolder mode 1 (overwrite)", mode1, payload, baseline);
            Report("CopyFolder mode 0 (new destination)", mode0, payload, baseline);
            Report("CopyFolder mode 0 (equal versions)", mode0Again, payload, baseline);
            std::printf("best of %d runs each (by CPU time); peak resident memory %ld KB\n", kRepeats,
                        PeakKilobytes());
        }
    }
    fs::remove_all(work);
    return status;
}
