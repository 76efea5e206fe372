// Any bytes as a skin folder's "main.xml" on a simulated machine: the check
// answers yes or no, and yes only for a "PMMS" document.
// fuzz-link: vn_platform vn_tools_interface
// fuzz-include: app engine
#include <cstdlib>
#include <string>

// The check and the folder functions it uses are built in.
#include "../../app/FolderPaths.cpp"
#include "../../settings/SkinFolder.cpp"
#include "fuzz_product.h"
#include "fuzz_sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool prepared = FuzzSimMachine().Files().CreateDirectory(u"C:\\Skin") == 0;
    (void)prepared;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    VnPlatform().Files().WriteFile(u"C:\\Skin\\main.xml", bytes);
    FuzzProduct product;
    const bool usable = IsUsableSkinFolder(u"C:\\Skin", product);
    if (usable && bytes.find("PMMS") == std::string::npos && bytes.find(std::string("P\0M\0M\0S\0", 8)) == std::string::npos &&
        bytes.find(std::string("\0P\0M\0M\0S", 8)) == std::string::npos)
        std::abort();
    return 0;
}
