// Seam: the shell registration rows are not built yet.
#include "InstallSteps.h"
#include "NotBuiltSeam.h"

void WriteProgramRegistrySettings() { LogNotBuilt(u"WriteProgramRegistrySettings"); }
