// Plain Linux file operations for the simulated machine's drive folders,
// with failures given as the Windows error codes they stand for.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>

// The Windows error closest to a Linux errno value.
uint32_t VnSimErrorFromErrno(int error);

// Copies the bytes and the last-write time (as CopyFileW keeps it); the
// target is created or truncated. Uses the kernel's in-place copy where it can.
uint32_t VnSimCopyHostFile(const std::string& from, const std::string& to);
uint32_t VnSimReadHostFile(const std::string& path, std::string& bytes, uint64_t offset, uint64_t maxBytes);
uint32_t VnSimWriteHostFile(const std::string& path, const std::string& bytes);
// Calls `visit` for every entry of a folder except "." and "..".
void VnSimListHostFolder(const std::string& folder,
                         const std::function<void(const std::string& name, const struct stat& info)>& visit);
