// "VnService.exe", the product's service. The installer asks it to let go of
// the product's files ("/Stop", before installing over a copy) and to register
// itself ("/Register", during finalisation). The stand-in records the request
// as the value "VnService" of the companions' state ("stopped", "registered")
// and succeeds; it runs no service.
#include "CompanionCommandLine.h"
#include "CompanionPrograms.h"
#include "CompanionRecord.h"
#include "VnPlatform.h"

uint32_t VnServiceMain(const CompanionStart& start) {
    CompanionCommandLine commandLine(start.parameters);
    const char16_t* state = commandLine.Take(u"/Stop")       ? u"stopped"
                            : commandLine.Take(u"/Register") ? u"registered"
                                                             : nullptr;
    if (!state) return vnwin::kErrorInvalidParameter;
    SetCompanionState(u"", VN_LIT(u"VnService"), state);
    return 0;
}
