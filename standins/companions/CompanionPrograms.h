// The product's companion programs, each a function over the platform: the
// same code runs as a real Windows program (CompanionWinMain.cpp) and as an
// in-process program of the simulated machine (VnCompanionsSim.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "VnString.h"

// How a companion program was started.
struct CompanionStart {
    VnString programPath;  // the program file's full Windows path
    VnString parameters;   // the command line after the program's name

    // The program's folder, ending in a backslash.
    VnString Folder() const { return programPath.Left(programPath.ReverseFind(u'\\') + 1); }
};

// A program's behaviour: returns its exit code (0, or a Windows error code).
using CompanionBody = uint32_t (*)(const CompanionStart& start);

struct CompanionProgram {
    const char16_t* fileName;  // "PackageInstaller.exe", ...
    CompanionBody body;
};

uint32_t PackageInstallerMain(const CompanionStart& start);
uint32_t VnServiceMain(const CompanionStart& start);
uint32_t OrvanControlMain(const CompanionStart& start);
uint32_t VnMediaUninstallMain(const CompanionStart& start);

// Every companion program; the list ends with a null file name.
extern const CompanionProgram kCompanionPrograms[];
// The program of that file name (compared without regard to case), or null.
const CompanionProgram* FindCompanionProgram(std::u16string_view fileName);

// Records the start, runs the program and records its exit code, which it returns.
uint32_t RunCompanionProgram(const CompanionProgram& program, const CompanionStart& start);
