// The installer's process exit codes, kept in one place.
#pragma once

enum InstallExitCode : int {
    kExitCompleted = 0,
    // Completed, but Windows must restart to finish the install.
    kExitRestartNeeded = 3010,
    // The user cancelled, or declined a question that stops the install.
    kExitCancelled = 1602,
    // Ended on an error: a failed preflight check, the critical-error box, a
    // tools library that did not load, another installer already running.
    kExitFailed = 1603,
    // Start-up finished and handed over to the wizard, which was left
    // waiting for answers that never came: a run without a user (the
    // simulated machine's, whose scripted user stopped). Nothing was
    // installed. Chosen apart from the codes above (as Windows Installer's
    // "installation suspended, incomplete").
    kExitStoppedAtWizardHandOff = 1604,
};

// A short description of an exit code, for reports.
inline const char* DescribeInstallExitCode(int code) {
    switch (code) {
        case kExitCompleted: return "completed";
        case kExitRestartNeeded: return "completed, restart needed";
        case kExitCancelled: return "cancelled";
        case kExitFailed: return "error";
        case kExitStoppedAtWizardHandOff: return "stopped in the wizard, which waited for answers";
        default: return "unknown";
    }
}
