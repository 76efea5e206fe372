// Whether a Windows library file (PE32 or PE32+) exports a function by name,
// read from its export table. Any bytes at all may be given: nothing is read
// outside the file and every walk is bounded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

enum class VnPeExport {
    Named,     // the export table names the function
    NotNamed,  // the headers and the whole name table were read and do not name it
    Unknown,   // the file cannot be read, is not a PE file, or its tables cannot be followed
};

// Reads up to `size` bytes of the file from `offset` into `bytes` (fewer at the
// end of the file); false when the file cannot be read.
using VnFileRangeReader = std::function<bool(uint64_t offset, uint32_t size, std::string& bytes)>;

// Reads the file's first 64 KB, which hold the headers and, in a small library,
// the tables too (one read in all), then only the pages the tables lie in, so
// a large file costs a few small reads.
VnPeExport VnFindPeExport(const VnFileRangeReader& read, std::string_view exportName);

// The same over a file held in memory; true only for Named.
bool VnPeExportsName(const std::string& fileBytes, std::string_view exportName);
