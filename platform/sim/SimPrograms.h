// The in-process stand-ins of the simulated machine: programs that are "run"
// when the installer starts a program of that file name, and the exports that
// GetProcAddress finds in a module of that file name.
//
// The native build registers its stand-ins (the product's companion programs,
// the tools library) into the shared registries at start-up; a test may build
// its own registries and hand them to VnSimProcesses instead.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "VnArray.h"
#include "VnMap.h"
#include "VnPlatform.h"

// What a stand-in program receives when it is started.
struct VnSimProgramCall {
    VnString programPath;     // the Windows path it was started from
    VnString parameters;      // the parameter text as given to ShellExecuteExW
    VnStringArray arguments;  // the parameters split as CommandLineToArgvW splits them
    VnString workingFolder;   // may be empty
    IVnPlatform& platform;    // the machine it runs on
    std::string& output;      // what it writes to its standard output
};

// A stand-in program's body: returns its exit code.
using VnSimProgramMain = std::function<uint32_t(VnSimProgramCall&)>;

struct VnSimProgram {
    VnSimProgramMain main;  // may be empty: the program does nothing
    // A program that never ends by itself: its body runs at the start, then it
    // keeps running until TerminateProcess; a wait on it times out.
    bool neverEnds = false;
};

class VnSimProgramRegistry {
public:
    // The registry the native build's stand-ins register into.
    static VnSimProgramRegistry& Shared();

    // Registers (or replaces) the stand-in for a file name such as
    // "PackageInstaller.exe" (compared without regard to case).
    void Register(const VnString& fileName, VnSimProgramMain main);
    void RegisterNeverEnding(const VnString& fileName, VnSimProgramMain main = {});
    void Unregister(const VnString& fileName);
    const VnSimProgram* Find(const VnString& fileName) const;

private:
    VnStringMap<VnSimProgram, false> programs_;
};

// Exports of in-process stand-in modules, by module file name and export name.
class VnSimModuleRegistry {
public:
    static VnSimModuleRegistry& Shared();

    // e.g. Register(u"VnTools.dll", "GetVnToolsDLL", reinterpret_cast<void*>(&GetVnToolsDLL)).
    void Register(const VnString& moduleFileName, const char* exportName, void* address);
    void Unregister(const VnString& moduleFileName);
    bool HasModule(const VnString& moduleFileName) const;
    void* Find(const VnString& moduleFileName, const char* exportName) const;

private:
    VnStringMap<VnStringMap<void*>, false> modules_;
};

// Splits a parameter text the way CommandLineToArgvW splits the part after
// the program name: white space separates, double quotes group, 2n
// backslashes before a quote give n backslashes, 2n+1 give n and a literal
// quote, and "" inside quotes gives a literal quote.
VnStringArray VnSimSplitCommandLine(const VnString& parameters);

// The file name part of a Windows path (after the last backslash or slash).
VnString VnSimFileNameOf(const VnString& path);
