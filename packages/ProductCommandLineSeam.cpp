// Seam: the mailbox through which a command line reaches the running program
// is not built yet; a command for it is only written to the log.
#include "EngineLog.h"
#include "ProductCommandLine.h"

bool ExecuteProductCommandLine(const VnString& commandLine) {
    EngineLog(u"CTNCommandLine::Execute", VnString::Format(u"Not built yet: \"%s\" was not sent", commandLine));
    return false;
}
