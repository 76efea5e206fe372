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
// target is created or truncated. `info` is the source's status as the caller
// just read it (its size and times are not read again). Uses the kernel's
// in-place copy where it can.
uint32_t VnSimCopyHostFile(const std::string& from, const struct stat& info, const std::string& to);
uint32_t VnSimReadHostFile(const std::string& path, std::string& bytes, uint64_t offset, uint64_t maxBytes);
uint32_t VnSimWriteHostFile(const std::string& path, const std::string& bytes);
// Calls `visit` for every entry of a folder except "." and "..", with the
// status of what it names (a link's target; a broken link is left out).
void VnSimListHostFolder(const std::string& folder,
                         const std::function<void(const std::string& name, const struct stat& info, bool isLink)>& visit);
