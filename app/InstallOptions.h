// InstallOptions: the one process-wide record through which the installer's
// parts hand each other what they decided: command-line options, values of
// the install description, what the search for earlier installations found,
// the wizard's answers and the engine's finalisation lists. A plain record:
// every part reads and assigns the fields directly. Only the user-interface
// thread touches it, so nothing guards it.
#pragma once

#include "VnArray.h"
#include "VnString.h"

struct InstallOptions {
    // Command-line options.
    bool Silent = false;
    bool Upgrade = false;
    bool NoAssociations = false;
    bool NoDependencies = false;
    bool NoUpgrade = false;
    bool NoDriver = false;
    bool NoRun = false;
    VnString DistributorID;

    // Install description: folders end in exactly one backslash. The support
    // folder list starts with the "Support" folder beside the installer.
    VnStringArray SupportFolders;
    VnString LibraryFolder;
    VnString BundledMediaFolder;  // sample media to copy; empty when none
    bool AllowDowngrade = true;

    // Search for earlier installations.
    bool SameVersionInstalled = false;
    bool OtherVersionInstalled = false;
    VnString UninstallKeyName;
    VnStringArray OccupiedFolders;

    // Wizard answers. DestinationFolder is empty or ends in exactly one backslash.
    bool AutoInstallElapsed = false;
    bool ExpressSetup = false;
    bool PortableSetup = false;
    VnString DestinationFolder;

    // Filled by the install engine, consumed by finalisation; entries are
    // "first|second" with a non-empty first field, in insertion order.
    VnStringArray PendingOperations;    // "_REGISTERFILE|path"
    VnStringArray FinalizeInstallList;  // "staged|destination" or "_DELETEFILE|path"
    bool RestartRequired = false;
    bool ShellExtensionReady = true;
    // Payload files that could neither be copied, nor replaced at the restart,
    // nor staged: each left exactly as it was. Any entry ends the install
    // with the error code.
    VnStringArray FilesNotInstalled;
    // The install stopped on the critical-error box.
    bool EndedOnCriticalError = false;

    // The single instance for the whole run; created before first use and
    // never freed.
    static InstallOptions& Get();
    // Puts the single instance back to its initial values. Tests only: a run
    // never resets the record.
    static void ResetForTests();
};
