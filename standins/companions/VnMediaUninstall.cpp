// "VnMediaUninstall.exe", the product's uninstaller, started from the
// uninstall entry or the Start Menu link:
//
//   VnMediaUninstall.exe [/Silent] [/RemoveSettings]
//
// Without "/Silent" its window asks first, shows the progress and says at
// the end what it did and what stayed; with it, it asks nothing and shows
// nothing. A running copy of the program is closed first (after asking). "/RemoveSettings" also
// removes the program's settings and the library files the install made.
// The work itself is RunUninstall (standins/uninstaller/Uninstaller.h); every
// step goes to "VnMediaUninstall.log" in the user's temporary folder.
//
// Exit codes: 0 done, 3010 done once Windows restarts (files in use), 1602
// the user cancelled or kept the running program open, 1603 nothing done (no
// usable record, a folder that is no place to uninstall from, an unknown
// switch, a running program that would not close) or something could not be
// removed.
#include "CompanionCommandLine.h"
#include "CompanionPrograms.h"
#include "RunningProgram.h"
#include "Uninstaller.h"
#include "UninstallerUi.h"
#include "VnPlatform.h"

namespace {

// Nothing is removed while the program runs: it is closed first (RunningProgram.h).
bool ProgramClosed(const UninstallProduct& product, UninstallerUi& ui, UninstallOutcome& stopped) {
    const RunningProgramVerdict verdict =
        CloseRunningProgram(product.mainWindowClass, [&ui] { return ui.AskToCloseProgram(); });
    const VnString name = product.displayName.IsEmpty() ? VN_LIT(u"Tunaro") : product.displayName;
    switch (verdict) {
    case RunningProgramVerdict::NotRunning: return true;
    case RunningProgramVerdict::Closed:
        stopped.log.Add(VnString::Format(u"%s was running and closed when asked", name));
        return true;
    case RunningProgramVerdict::KeptOpen:
        stopped.exitCode = kUninstallCancelled;
        stopped.failure = VnString::Format(u"%s is running and was kept open.", name);
        break;
    case RunningProgramVerdict::WouldNotClose:
        stopped.exitCode = kUninstallFailed;
        stopped.failure = VnString::Format(
            u"%s is running and did not close when asked. Close it, then run the uninstaller again.", name);
        break;
    }
    stopped.log.Add(stopped.failure);
    return false;
}

}  // namespace

uint32_t VnMediaUninstallMain(const CompanionStart& start) {
    UninstallerUi ui;
    CompanionCommandLine commandLine(start.parameters);
    bool silent = false, removeSettings = false;
    for (;;) {
        if (commandLine.Take(u"/Silent") || commandLine.Take(u"/S")) silent = true;
        else if (commandLine.Take(u"/RemoveSettings")) removeSettings = true;
        else break;
    }
    ui.SetSilent(silent);
    if (!commandLine.Rest().IsEmpty()) {
        ui.ShowFailure(VnString::Format(u"Unknown option \"%s\". Options: /Silent, /RemoveSettings.", commandLine.Rest()));
        return kUninstallFailed;
    }
    UninstallRequest request;
    request.installFolder = start.Folder();
    request.uninstallerPath = start.programPath;
    request.removeSettings = removeSettings;
    const bool productKnown = ReadUninstallProduct(request.installFolder, request.product);
    ui.SetProductName(request.product.displayName);
    ui.SetSettings(removeSettings, request.product.dataFolder);
    UninstallOutcome outcome;
    const bool ran = ui.Run(
        [&](const UninstallerWindow::Progress& progress) {
            UninstallOutcome stopped;
            if (!ProgramClosed(request.product, ui, stopped)) return stopped;
            request.progress = progress;
            UninstallOutcome done = RunUninstall(request);
            for (int32_t i = 0; i < stopped.log.GetSize(); ++i) done.log.InsertAt(i, stopped.log[i]);
            return done;
        },
        outcome);
    if (!ran) {
        ui.WriteLog({VN_LIT(u"The user chose not to uninstall")});
        return kUninstallCancelled;
    }
    if (!productKnown) outcome.log.InsertAt(0, VN_LIT(u"\"ProductInfo.xml\" was not readable"));
    ui.WriteLog(outcome.log);
    return outcome.exitCode;
}
