// Windows program files for tests of version checks and architecture rules.
#pragma once

#include <string>

// A program file, i386 or x86-64, with the headers the Windows loader checks
// and a version resource holding `version` ("a.b.c.d", missing parts 0), or
// none when `version` is null.
std::string MakeProgramFile(const char* version, bool x64 = false);
constexpr bool kX64 = true;
