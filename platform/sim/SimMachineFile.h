// Whole-file reads and writes of the machine's own files (facts, registry,
// records) on the Linux side. Errors come back as text naming the file.
#pragma once

#include <string>

bool VnReadMachineFile(const std::string& path, std::string& bytes, std::string& error);
// Writes through a temporary file and a rename, so that a crash never leaves
// half a file behind.
bool VnWriteMachineFile(const std::string& path, const std::string& bytes, std::string& error);
bool VnAppendMachineFile(const std::string& path, const std::string& bytes, std::string& error);
