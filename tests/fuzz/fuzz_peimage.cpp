// Any bytes read as a program file: no read outside the buffer, no endless
// walk, and answers that agree with each other (a version only from a PE file,
// zeroes whenever there is no version).
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
    const uint16_t machine = VnReadPeMachine(bytes);
    if (hasVersion && machine == 0) std::abort();
    if (!hasVersion && (ms != 0 || ls != 0)) std::abort();
    return 0;
}
