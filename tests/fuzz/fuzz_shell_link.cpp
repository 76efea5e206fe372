// Any bytes as a shell-link file of the simulated machine: not a link, or a
// link whose written form reads back to the same link.
// fuzz-link: vn_platform
#include <cstdlib>
#include <string>

#include "SimShell.h"

namespace {
bool Same(const VnShellLink& a, const VnShellLink& b) {
    return a.target == b.target && a.arguments == b.arguments && a.workingFolder == b.workingFolder &&
           a.description == b.description && a.iconPath == b.iconPath && a.iconIndex == b.iconIndex;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VnShellLink link;
    if (!VnSimShell::ParseShellLink(std::string(reinterpret_cast<const char*>(data), size), link)) return 0;
    VnShellLink again;
    if (!VnSimShell::ParseShellLink(VnSimShell::FormatShellLink(link), again)) std::abort();
    if (!Same(link, again)) std::abort();
    return 0;
}
