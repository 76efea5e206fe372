// The registration phase: every collected component self-registered in list
// order, input plug-ins also registered with the media program.
#include "CopyRegistrationSeam.h"
#include "InstallFiles.h"
#include "InstallFilesText.h"
#include "InstallSteps.h"
#include "VnFileSystem.h"

namespace {

// "in_" in any case opens the file name of a Winamp input plug-in.
bool IsInputPluginName(const VnString& path) { return FileNameOf(path).Left(3).EqualsNoCase(u"in_"); }

}  // namespace

void CInstallFiles::RegisterCollectedComponents() {
    ToolsLogScope scope(VnToolsLog(), u"CInstallFiles::RegisterProgramFiles");
    const int32_t count = RegisterList.GetSize();
    page_->SetProgressRange(0, count);
    page_->SetProgressPosition(0);
    PumpMessages();
    ShowStatus(TranslatedMessage(u"Registering program files..."));
    int registered = 0;
    for (int32_t i = 0; i < count; ++i) {
        PumpMessages();
        const VnString path = RegisterList[i];
        // The server's own components are registered by its service install.
        if (orvanProduct_ && path.ContainsNoCase(u"\\Server\\")) continue;
        RegisterCopiedComponent(path);  // a failure does not stop the install
        ++registered;
        if (IsInputPluginName(path)) InstallWinampInputPlugin(path, true);
        page_->SetProgressPosition(i);
        PumpMessages();
    }
    scope.SetResult(registered);
}
