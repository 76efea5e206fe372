// Payload files that could not be installed: logged one by one as they fail,
// told to the user once at the end of the copy.
#include "EngineLog.h"
#include "FileCopy.h"
#include "InstallFilesText.h"
#include "InstallOptions.h"

namespace {
constexpr char16_t kSource[] = u"CopyFileChecked";
// A box lists at most this many files; the log has them all.
constexpr int kFilesNamedInTheBox = 15;
}  // namespace

void NoteFileNotInstalled(const VnString& destination, const VnString& reason) {
    EngineLog(kSource, VnString::Format(u"Not installed, left as it was: %s: %s", destination, reason));
    InstallOptions::Get().FilesNotInstalled.Add(destination);
}

void ReportFilesNotInstalled() {
    const InstallOptions& options = InstallOptions::Get();
    const VnStringArray& files = options.FilesNotInstalled;
    if (files.IsEmpty()) return;
    EngineLog(kSource, VnString::Format(u"%d files could not be installed: the install ends with an error",
                                        files.GetSize()));
    ToolsInterface* tools = VnTools();
    if (options.Silent || !tools) return;
    VnString list;
    for (int32_t i = 0; i < files.GetSize() && i < kFilesNamedInTheBox; ++i) list += files[i] + u"\r\n";
    if (files.GetSize() > kFilesNamedInTheBox)
        list += VnString::Format(TranslatedMessage(u"... and %d more (see the install log)\r\n").View(),
                                 files.GetSize() - kFilesNamedInTheBox);
    tools->ShowMessage(TranslatedMessage(u"Install Wizard could not install these files; each was left as it "
                                         u"was:\r\n\r\n") +
                           list +
                           TranslatedMessage(u"\r\nThe install log names the reason for each. Free some disk space "
                                             u"or close the programs that use them, then install again."),
                       TranslatedMessage(u"Files Not Installed"));
}
