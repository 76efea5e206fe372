// Seam: the obsolete-file clean-up is not built yet.
#include "InstallSteps.h"
#include "NotBuiltSeam.h"

void CleanObsoleteFiles() { LogNotBuilt(u"CleanObsoleteFiles"); }
