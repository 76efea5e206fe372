// "VnMediaUninstall.exe", the product's uninstaller, started from the
// uninstall entry or the Start Menu link:
//
//   VnMediaUninstall.exe [/Silent] [/RemoveSettings]
//
// Without "/Silent" it asks first and says at the end what it did and what
// stayed; with it, it asks nothing and shows nothing. "/RemoveSettings" also
// removes the program's settings and the library files the install made.
// The work itself is RunUninstall (standins/uninstaller/Uninstaller.h); every
// step goes to "VnMediaUninstall.log" in the user's temporary folder.
//
// Exit codes: 0 done, 3010 done once Windows restarts (files in use), 1602
// the user said No, 1603 nothing done (no usable record, a folder that is no
// place to uninstall from, an unknown switch) or something could not be removed.
#include "CompanionCommandLine.h"
#include "CompanionPrograms.h"
#include "Uninstaller.h"
#include "UninstallerUi.h"
#include "VnPlatform.h"

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
    if (!ui.Confirm(removeSettings)) {
        ui.WriteLog({VN_LIT(u"The user chose not to uninstall")});
        return kUninstallCancelled;
    }
    request.progress = [&ui](int done, int total) { ui.ShowProgress(done, total); };
    UninstallOutcome outcome = RunUninstall(request);
    if (!productKnown) outcome.log.InsertAt(0, VN_LIT(u"\"ProductInfo.xml\" was not readable"));
    ui.WriteLog(outcome.log);
    if (!outcome.failure.IsEmpty()) ui.ShowFailure(outcome.failure);
    else ui.ShowSummary(outcome);
    return outcome.exitCode;
}
