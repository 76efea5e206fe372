// Any command-line text: split into arguments, joined into the option string
// and parsed into the options. A distributor identifier is trimmed and never
// holds a slash (a slash always starts a new option).
#include <cstdlib>

// The readers are built in.
#include "../../app/CommandLine.cpp"
#include "../../app/InstallOptions.cpp"
#include "fuzz_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const VnString text = FuzzTextFromBytes(data, size);
    const VnStringArray arguments = SplitCommandLine(text.View());
    const VnString optionString = JoinCommandLine(arguments);
    InstallOptions::ResetForTests();
    InstallOptions& options = InstallOptions::Get();
    if (!ParseCommandLineOptions(optionString.View(), options)) std::abort();  // parsing never fails
    const VnString& id = options.DistributorID;
    if (id.Contains(u"/")) std::abort();
    VnString trimmed = id;
    if (trimmed.Trim() != id) std::abort();
    return 0;
}
