// The registration phase: every collected component self-registered in list
// order, input plug-ins also registered with the media program.
#include "CopyRegistrationSeam.h"
#include "InstallFiles.h"
#include "InstallFilesText.h"
#include "InstallSteps.h"
#include "PacedProgress.h"
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
    // Thousands of libraries take a few milliseconds each: the bar and the
    // messages go at a steady pace, not twice per library.
    CPacedProgress progress(page_);
    int registered = 0;
    for (int32_t i = 0; i < count; ++i) {
        const VnString path = RegisterList[i];
        // The server's own components are registered by its service install.
        if (!(orvanProduct_ && path.ContainsNoCase(u"\\Server\\"))) {
            RegisterCopiedComponent(path);  // a failure does not stop the install
            ++registered;
            if (IsInputPluginName(path)) InstallWinampInputPlugin(path, true);
        }
        progress.StepDone(i);
    }
    if (count > 0) progress.Finish(count - 1);
    scope.SetResult(registered);
}
