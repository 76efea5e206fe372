// A simulated machine in a temporary folder, opened once per fuzz process and
// installed as the platform, for the readers that reach their files through
// the platform. The folder goes when the process ends normally.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "VnPlatform.h"
#include "VnSimPlatform.h"

inline const std::string& FuzzSimFolder() {
    static const std::string folder =
        (std::filesystem::temp_directory_path() / ("vnfuzz-" + std::to_string(getpid()))).string();
    return folder;
}

inline VnSimPlatform& FuzzSimMachine() {
    static std::unique_ptr<VnSimPlatform> machine = [] {
        std::filesystem::remove_all(FuzzSimFolder());
        std::string error;
        std::unique_ptr<VnSimPlatform> opened = VnSimPlatform::OpenMachine(FuzzSimFolder(), error);
        if (!opened) {
            std::fprintf(stderr, "no simulated machine: %s\n", error.c_str());
            std::abort();
        }
        VnSetPlatform(opened.get());
        // Registered before the machine's own destructor, so it runs after it.
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzSimFolder(), ignored);
        });
        return opened;
    }();
    return *machine;
}

// Deletes a folder of the machine with everything in it, through the
// platform, so that the machine's own accounts (free space, attributes) stay true.
inline void FuzzDeleteTree(const VnString& folder) {
    IVnFiles& files = VnPlatform().Files();
    VnCoreArray<VnFindData> found;
    if (files.FindFiles(folder + u"\\*", found) == 0) {
        for (const VnFindData& item : found) {
            const VnString path = folder + u"\\" + item.name;
            files.SetFileAttributes(path, 0x80);  // a read-only entry may have come out of the input
            if (item.attributes & 0x10) FuzzDeleteTree(path);
            else files.DeleteFile(path);
        }
    }
    files.RemoveDirectory(folder);
}
