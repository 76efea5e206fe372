// Any text as the simulated machine's "machine.ini": refused with a message,
// or read into facts whose text reads back to the same text.
// fuzz-link: vn_platform
#include <cstdlib>
#include <string>

#include "SimFacts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    VnSimFacts facts = VnSimFacts::Defaults();
    std::string error;
    if (!VnSimFacts::Parse(text, facts, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    facts.FillMissingDefaults();
    const std::string written = facts.ToText();
    VnSimFacts again = VnSimFacts::Defaults();
    if (!VnSimFacts::Parse(written, again, error)) std::abort();
    again.FillMissingDefaults();
    if (again.ToText() != written) std::abort();
    return 0;
}
