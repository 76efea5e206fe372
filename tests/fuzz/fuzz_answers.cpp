// Any bytes as the runner's answers file: read, or refused with a message
// naming the line; reading never acts on the wizard.
// fuzz-link: vn_toolkit vn_platform
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_sim_machine.h"
// The answers reader is part of the runner program, not of a library.
#include "../../tools/SimWizardAnswers.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VnSimPlatform& machine = FuzzSimMachine();
    const std::string file = FuzzSimFolder() + "/answers.txt";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    VnSimShell shell(machine.MachineFolder(), machine.Files());  // fresh, so that queued answers do not pile up
    SimWizardAnswers answers;
    std::string error;
    const bool read = answers.Load(file, shell, error);
    if (!read && error.empty()) std::abort();
    if (answers.Done() != 0) std::abort();
    return 0;
}
