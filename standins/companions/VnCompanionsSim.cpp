#include "VnCompanionsSim.h"

#include "CompanionPrograms.h"
#include "SimPrograms.h"

void VnRegisterCompanionsWithSim() {
    for (const CompanionProgram* program = kCompanionPrograms; program->fileName; ++program) {
        VnSimProgramRegistry::Shared().Register(program->fileName, [program](VnSimProgramCall& call) {
            // The program works on the machine it was started in, which need
            // not be the active platform of the starting process.
            IVnPlatform* caller = VnHasPlatform() ? &VnPlatform() : nullptr;
            VnSetPlatform(&call.platform);
            uint32_t exitCode = RunCompanionProgram(*program, CompanionStart{call.programPath, call.parameters});
            VnSetPlatform(caller);
            return exitCode;
        });
    }
}
