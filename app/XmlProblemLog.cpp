#include "XmlProblemLog.h"

#include "ToolsLink.h"

void LogXmlProblems(const VnString& source, const VnString& path, const VnXmlDocument& document) {
    if (document.GetError().IsEmpty()) return;
    if (ToolsLog* log = VnToolsLog()) log->Write(source, VnString::Format(u"%s: %s", path, document.GetError()));
}
