#include "DependencySetups.h"
#include "SimPrograms.h"

void VnRegisterDependencySetupsWithSim() {
    for (const DependencySetupProgram* program = kDependencySetupPrograms; program->fileName; ++program) {
        VnSimProgramRegistry::Shared().Register(program->fileName, [program](VnSimProgramCall& call) {
            // The program works on the machine it was started in.
            IVnPlatform* caller = VnHasPlatform() ? &VnPlatform() : nullptr;
            VnSetPlatform(&call.platform);
            const uint32_t exitCode = RunDependencySetupProgram(*program, call.parameters);
            VnSetPlatform(caller);
            return exitCode;
        });
    }
}
