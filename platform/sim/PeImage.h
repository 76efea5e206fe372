// Reading what the simulated machine needs from a Windows program file held in
// memory: the machine type of its PE header and the file version of its
// version resource. Both work on PE32 and PE32+ files and on any bytes at all:
// nothing is read outside the buffer, and every walk is bounded.
#pragma once

#include <cstdint>
#include <string>

// Machine values of the PE file header that callers compare against.
constexpr uint16_t kVnPeMachineI386 = 0x014C;
constexpr uint16_t kVnPeMachineAmd64 = 0x8664;

// The machine field of the PE file header (0x014C for 32-bit x86, 0x8664 for
// x86-64, ...); 0 when the bytes are not a PE file.
uint16_t VnReadPeMachine(const std::string& fileBytes);

// The file version of the first RT_VERSION resource, as the two 32-bit halves
// of VS_FIXEDFILEINFO (dwFileVersionMS, dwFileVersionLS): the same numbers that
// GetFileVersionInfoW followed by VerQueryValueW("\\") give on Windows.
// False (and both outputs 0) when the file has no readable version resource.
bool VnReadPeFileVersion(const std::string& fileBytes, uint32_t& versionMS, uint32_t& versionLS);
