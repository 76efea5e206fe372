// Any bytes as the simulated machine's "registry.reg": refused with a message
// naming the line, or read; what was read is written out, reads back, and
// writes out again to the very same bytes.
// fuzz-link: vn_platform
#include <cstdlib>
#include <string>

#include "SimRegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    VnSimRegHive hive;
    std::string error;
    if (!VnReadRegFile(bytes, hive, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::string written = VnWriteRegFile(hive);
    VnSimRegHive again;
    if (!VnReadRegFile(written, again, error)) std::abort();
    if (VnWriteRegFile(again) != written) std::abort();
    return 0;
}
