// What a simulated machine holds at one moment, for reporting what a run
// changed: every file and folder of its drives (size and last-write time) and
// every registry key and value (rendered as text).
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class VnSimPlatform;

struct SimMachineSnapshot {
    struct FileState {
        bool folder = false;
        uintmax_t size = 0;
        int64_t writeTime = 0;
        bool operator==(const FileState&) const = default;
    };
    std::map<std::string, FileState> files;     // Windows path -> state
    std::set<std::string> keys;                 // "HKEY_...\path"
    std::map<std::string, std::string> values;  // "HKEY_...\path" + " : " + "name" -> rendered data

    static SimMachineSnapshot Take(VnSimPlatform& machine);
};

// One line per change, "+" added, "~" changed, "-" removed, in path order.
struct SimMachineChanges {
    std::vector<std::string> files;
    std::vector<std::string> registry;
};
SimMachineChanges CompareSnapshots(const SimMachineSnapshot& before, const SimMachineSnapshot& after);
