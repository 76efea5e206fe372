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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FileCopy.h"
#include "FileListing.h"
#include "RuntimeFunctionTables.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFileCount = 5000;
constexpr uint64_t kTargetBytes = 200ull << 20;
constexpr int kRepeats = 2;

struct Payload {
    int files = 0;
    uint64_t bytes = 0;
};

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Mixed sizes: mostly small files, some medium ones, a few large ones,
// scaled so that the whole comes to about kTargetBytes.
std::vector<uint64_t> FileSizes(std::mt19937_64& random) {
    std::vector<uint64_t> sizes(kFileCount);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    uint64_t total = 0;
    for (uint64_t& size : sizes) {
        const double pick = unit(random);
        size = pick < 0.80   ? 512 + uint64_t(unit(random) * 24 * 1024)
               : pick < 0.98 ? 64 * 1024 + uint64_t(unit(random) * 512 * 1024)
                             : 2 * 1024 * 1024 + uint64_t(unit(random) * 6 * 1024 * 1024);
        total += size;
    }
    const double scale = double(kTargetBytes) / double(total);
    for (uint64_t& size : sizes) size = std::max<uint64_t>(64, uint64_t(double(size) * scale));
    return sizes;
}

// Writes the payload below `root`: even files are libraries built from the
// PE templates (padded), odd files plain data; 50 folders two levels deep.
Payload WritePayload(const fs::path& root, const std::vector<std::string>& templates) {
    std::mt19937_64 random(20240611);
    const std::vector<uint64_t> sizes = FileSizes(random);
    std::string block(1 << 20, '\0');
    for (char& c : block) c = char(random());
    Payload payload;
    for (int i = 0; i < kFileCount; ++i) {
        const fs::path folder = root / ("Folder " + std::to_string(i % 10)) / ("Part " + std::to_string(i % 50));
        fs::create_directories(folder);
        const bool library = i % 2 == 0;
        char name[64];
        std::snprintf(name, sizeof name, library ? "Codec%04d.dll" : "Data%04d.dat", i);
        std::ofstream out(folder / name, std::ios::binary);
        uint64_t left = sizes[size_t(i)];
        if (library) {
            const std::string& pe = templates[size_t(i / 2) % templates.size()];
            out.write(pe.data(), std::streamsize(pe.size()));
            left = left > pe.size() ? left - pe.size() : 0;
        }
        for (uint64_t offset = uint64_t(i) * 4099; left > 0;) {
            const uint64_t start = offset % block.size(), chunk = std::min<uint64_t>(left, block.size() - start);
            out.write(block.data() + start, std::streamsize(chunk));
            left -= chunk, offset += chunk;
        }
        payload.files++;
        payload.bytes += uint64_t(out.tellp());
    }
    return payload;
}

// Wall-clock and CPU time (user and system, of this process and of the
// children it waited for, so that cp -r counts the same way). The CPU time
// is what the ratios use: the machine is shared, so wall clock wanders.
struct Timing {
    double wall = 1e9, cpu = 1e9;
    void KeepBest(const Timing& other) {
        if (other.cpu < cpu) *this = other;
    }
};

double CpuSeconds() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime}) total += double(t.tv_sec) + double(t.tv_usec) / 1e6;
    }
    return total;
}

Timing Measure(const std::function<void()>& work) {
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    return Timing{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  CpuSeconds() - cpuStart};
}

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
    std::vector<std::string> templates;
    for (const char* name : {"System/Check Version/VnCodecSupport.dll", "System/Check Version/VnDeviceBridge.dll"})
        if (std::string pe = ReadHostFile(setup / name); !pe.empty()) templates.push_back(pe);
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
