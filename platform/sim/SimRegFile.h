// The simulated registry on disk, in the text that `reg export` writes and
// `reg import` reads: UTF-16LE with a byte-order mark, the header
// "Windows Registry Editor Version 5.00", one "[HKEY_...\path]" section per
// key and one line per value ("name"="text", dword:, hex(N): with line
// continuations, @ for the default value).
#pragma once

#include <string>

#include "SimRegTree.h"

// The whole hive as the bytes of a .reg file.
std::string VnWriteRegFile(const VnSimRegHive& hive);

// Adds the keys and values of a .reg file to the hive (sections beginning
// with "-" and values set to - delete, as on import). Reads what Windows
// writes, and also UTF-8 text. On damage returns false with a message naming
// the line; the hive may then hold part of the file.
bool VnReadRegFile(const std::string& bytes, VnSimRegHive& hive, std::string& error);
