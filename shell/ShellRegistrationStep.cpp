// The registry phase of the copy-and-install sequence: the registration
// object built with an empty context, both flags set, and released at once.
#include "FileAssociationHelper.h"
#include "InstallSteps.h"

void WriteProgramRegistrySettings() {
    CFileAssociationHelper helper{VnString()};
    helper.SetWriteTemplates(true);
    helper.SetNotifyShell(true);
}
