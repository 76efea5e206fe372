// The registration primitives the install steps use: in-process
// self-registration, the 64-bit "RegSvr32.exe", and the product's package
// installer "PackageInstaller.exe".
#pragma once

#include <cstdint>
#include <string_view>

#include "VnPeExports.h"
#include "VnString.h"

// Loads the component (its own folder first in the search for the libraries
// it needs), calls its "DllRegisterServer" and frees it. True when the call
// returned a result that is not negative; false when it cannot be loaded,
// lacks the export, fails, or crashes (the crash is caught and logged). A
// file whose export table can be read and lacks the entry is not loaded at
// all; a file that cannot be read or followed is loaded and asked as before.
bool RegisterComponent(const VnString& path);

// What the library file's export table says about `name`, read a few pages
// at a time through the platform.
VnPeExport FindLibraryExport(const VnString& path, std::string_view name);

// Runs "<Windows>\system32\RegSvr32.exe /s [/u ]"path"", waiting without a
// limit; with `use64Bit` under WOW64 the file-system redirection is off
// meanwhile, so that the 64-bit program runs.
void RegisterWithRegSvr32(const VnString& path, bool registerIt, bool use64Bit);

// Runs "PackageInstaller.exe" from the program folder with the argument,
// waiting without a limit; nothing when the program is missing. True when
// it ran.
bool RunPackageInstaller(const VnString& argument);

// "/RegDLL " or "/UnRegDLL " followed by the path.
void RegisterWithPackageInstaller(const VnString& path, bool registerIt);

// Starts a program with the parameters exactly as given (its folder as the
// working folder) and, with `wait`, waits for it without a limit, pumping
// messages. 0, or the error of the failed start.
uint32_t StartComponentProgram(const VnString& program, const VnString& parameters, bool wait);

// True when the path holds ".dll", ".ocx" or ".ax" (exact case, anywhere).
bool IsRegistrable(const VnString& path);
