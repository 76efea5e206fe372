// Modules loaded into the simulated installer process (LoadLibraryExW,
// GetProcAddress, FreeLibrary).
//
// LoadLibrary succeeds for:
// - a Windows system library ("kernel32.dll", "Version.dll", "PowrProf.dll",
//   ...) by bare name or from the system or Windows folder, whether or not a
//   file of that name is in the machine;
// - a module of a stand-in registered in VnSimModuleRegistry, by bare name
//   (the installer's folder, the system folder and the Windows folder are
//   searched first, as the DLL search order does) or from a file that exists;
// - any other existing file that is a 32-bit (i386) program file.
// It fails with ERROR_MOD_NOT_FOUND for a missing file or a library the facts
// name missing, and with ERROR_BAD_EXE_FORMAT (193) for a file that is not a
// 32-bit program file (the installer is a 32-bit process), unless the flags
// ask to load it as data or as an image resource.
//
// GetProcAddress finds a registered stand-in export first; for a system
// library it finds the functions that library has on the simulated Windows
// version (IsWow64Process from XP SP2, GetSystemTimePreciseAsFileTime from
// Windows 8, ...). Such a system function is a marker that tells the caller
// the function exists; the installer reaches the behaviour itself through
// the platform interface and never calls the marker. An export the facts
// name missing is null.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "SimFacts.h"
#include "SimFiles.h"
#include "SimPrograms.h"
#include "VnPlatform.h"

constexpr uint32_t kVnLoadLibraryAsDatafile = 0x2, kVnLoadLibraryAsImageResource = 0x20,
                   kVnLoadLibraryAsDatafileExclusive = 0x40;
constexpr uint32_t kVnErrorBadExeFormat = 193;

class VnSimModules {
public:
    VnSimModules(const VnSimFacts& facts, VnSimFiles& files, const VnSimModuleRegistry& registry);

    VnHandle Load(const VnString& path, uint32_t flags, uint32_t& error);
    void* GetProcAddress(VnHandle module, const char* name) const;
    void Free(VnHandle module);
    // The file name a loaded module was loaded as; empty for an unknown handle.
    VnString FileNameOf(VnHandle module) const;

    // Whether the simulated Windows has a system library of that file name,
    // and the marker of one of its functions (null when it lacks it).
    static bool IsSystemLibrary(const VnString& fileName);
    void* SystemFunction(const VnString& fileName, const char* name) const;

private:
    struct Loaded {
        VnString fileName;
        std::string key;
        int references = 0;
    };
    uint32_t Locate(const VnString& path, uint32_t flags, VnString& fileName, std::string& key);
    bool IsSystemFolderPath(const VnString& windowsPath) const;

    const VnSimFacts& facts_;
    VnSimFiles& files_;
    const VnSimModuleRegistry& registry_;
    std::unordered_map<VnHandle, Loaded> loaded_;
    uintptr_t nextBase_ = 0x10000000;
};
