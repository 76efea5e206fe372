// Any bytes read as a program file: no read outside the buffer, no endless
// walk, and answers that agree with each other (a version only from a file
// that starts like a PE file, zeroes whenever there is no version).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// The fuzz targets link only the foundation library, so the reader is built in.
#include "../../platform/sim/PeImage.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    uint32_t ms = 1, ls = 1;
    const bool hasVersion = VnReadPeFileVersion(bytes, ms, ls);
    (void)VnReadPeMachine(bytes);  // any answer, as long as it reads in bounds
    // A version only from a file with the DOS header (the machine field of a
    // real PE file may be 0, so the machine cannot tell).
    if (hasVersion && bytes.compare(0, 2, "MZ") != 0) std::abort();
    if (!hasVersion && (ms != 0 || ls != 0)) std::abort();
    return 0;
}
