// Windows program files for tests of version checks and architecture rules.
#pragma once

#include <initializer_list>
#include <string>

// A program file, i386 or x86-64, with the headers the Windows loader checks
// and a version resource holding `version` ("a.b.c.d", missing parts 0), or
// none when `version` is null.
std::string MakeProgramFile(const char* version, bool x64 = false);
// An i386 library whose export table names `exports`, or that has no export
// table when none are given. kExportTableAt is where the table's address is kept.
std::string MakeLibraryFile(std::initializer_list<const char*> exports);
constexpr size_t kExportTableAt = 0x40 + 24 + 96;
constexpr bool kX64 = true;
