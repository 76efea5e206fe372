// Any bytes as a library file asked for its exports: no read outside the
// buffer, no endless walk, and no export found in a file without the DOS header.
#include <cstdlib>
#include <string>

#include "VnPeExports.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    bool found = false;
    for (const char* name : {"DllRegisterServer", "DllUnregisterServer", "winampGetGeneralPurposePlugin", ""})
        found = VnPeExportsName(bytes, name) || found;
    // The name in the file's last 32 bytes, so that the fuzzer can aim at names it made.
    const size_t tail = size > 32 ? size - 32 : 0;
    found = VnPeExportsName(bytes, std::string(bytes.c_str() + tail)) || found;
    if (found && bytes.compare(0, 2, "MZ") != 0) std::abort();
    return 0;
}
