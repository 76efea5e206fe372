// "OrvanControl.exe", the server product's control program. The installer runs
// it with "/Install" to install the server as a system service. The stand-in
// records the value "Orvan Server Service" = "installed" in the companions'
// state; it installs no service.
#include "CompanionCommandLine.h"
#include "CompanionPrograms.h"
#include "CompanionRecord.h"
#include "VnPlatform.h"

uint32_t OrvanControlMain(const CompanionStart& start) {
    CompanionCommandLine commandLine(start.parameters);
    if (!commandLine.Take(u"/Install")) return vnwin::kErrorInvalidParameter;
    SetCompanionState(u"", VN_LIT(u"Orvan Server Service"), VN_LIT(u"installed"));
    return 0;
}
