// What the copy and install benchmarks share: the generated payload of about
// 5,000 files and 200 MB of mixed sizes, and CPU/wall-clock timing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct Payload {
    int files = 0;
    uint64_t bytes = 0;
};

// The demo set-up's small versioned PE files, read from `setupFolder`; empty
// when the set-up folder has none (vn_demo_setup not built).
std::vector<std::string> ReadPeTemplates(const std::filesystem::path& setupFolder);

// Writes the payload below `root`: even files are libraries built from the
// PE templates (padded to their size), odd files plain data; 50 folders two
// levels deep. The same seed every time, so every run writes the same files.
Payload WritePayload(const std::filesystem::path& root, const std::vector<std::string>& templates);

// The shape of a real media program instead: 60 versioned libraries and
// programs of 0.1-4 MB in the program folder and its plug-in and codec
// folders, 5,000 data files of 1-64 KB (skins, pictures, help, language
// files) in about 200 folders, and three large files of 20, 45 and 80 MB.
Payload WriteRealisticPayload(const std::filesystem::path& root, const std::vector<std::string>& templates);

// Wall-clock and CPU time (user and system, of this process and of the
// children it waited for, so that a command run through std::system counts
// the same way). Ratios use CPU time: the machine is shared, so wall clock
// wanders.
struct Timing {
    double wall = 1e9, cpu = 1e9;
    double user = 1e9;  // the part of cpu spent outside the kernel
    void KeepBest(const Timing& other) {
        if (other.cpu < cpu) *this = other;
    }
};

double CpuSeconds(bool userOnly = false);
Timing Measure(const std::function<void()>& work);
// Times work on a new simulated machine in folder (emptied first), so that
// every timed run creates every key and file; exits with a message naming
// program when the machine cannot be opened.
Timing MeasureOnNewMachine(const std::filesystem::path& folder, const std::function<void()>& work,
                           const char* program);
