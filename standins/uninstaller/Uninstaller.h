// The product's uninstaller at work: it reads the installation record in its
// own folder and undoes what the record names, inside the places an install
// of ours writes (UninstallPlaces.h), in this order: components unregistered,
// links removed, files removed (a file in use at the next restart), registry
// values put back as they were before the first install, file types given
// back to their earlier owners (AssociationGiveBack.h), registry keys the
// install created removed when nothing else is in them, the record and the
// uninstaller itself, then the folders the install created, when empty. A
// folder that still holds files the install did not make stays with them.
// The program's settings and library stay unless asked for.
#pragma once

#include <cstdint>
#include <functional>

#include "VnArray.h"
#include "VnString.h"

struct UninstallProduct {
    VnString displayName;       // the product's name as shown (form 1); "Tunaro" when unknown
    VnString recordName;        // the installation record's key name (form 4): "Tunaro 33"
    VnString settingsKey;       // below HKEY_CURRENT_USER: "Software\V. Arnel\Tunaro 33"; empty when unknown
    VnString dataFolder;        // the program's settings and library, ending in a backslash; empty when unknown
    VnString familyPrefix;      // "Tunaro.": the start of the product's ProgIDs and backup values
    VnString productExtension;  // ".pmr"
    VnString mainWindowClass;   // the running program's main window; empty when unknown
};

struct UninstallRequest {
    VnString installFolder;   // the uninstaller's own folder, ending in a backslash
    VnString uninstallerPath;  // its own file, removed last
    UninstallProduct product;
    bool removeSettings = false;  // the settings key and the recorded library and settings files too
    // Called before each step of the work with its number, the count and
    // what the step does ("Removing files"), and once more at the end.
    std::function<void(int done, int total, const VnString& step)> progress;
};

constexpr uint32_t kUninstallDone = 0, kUninstallRestartNeeded = 3010, kUninstallCancelled = 1602,
                   kUninstallFailed = 1603;

struct UninstallOutcome {
    uint32_t exitCode = kUninstallFailed;
    VnString failure;           // why nothing was done (exit code 1603 before any work)
    int removed = 0;            // files, links, folders and keys removed, values put back
    VnStringArray userFiles;    // files the install did not make, kept in its folders
    VnStringArray atRestart;    // removed at the next restart
    VnStringArray refused;      // record entries outside the install's places, with why
    VnStringArray notRemoved;   // what could neither be removed nor left for the restart
    VnStringArray log;          // every step, for the log file
};

UninstallOutcome RunUninstall(const UninstallRequest& request);

// The product's facts for the uninstaller, from "ProductInfo.xml" in its
// folder (read before the uninstall removes it). False when the file is
// missing or gives no version: the record is then undone without the file
// type give-back and without knowing the settings.
bool ReadUninstallProduct(const VnString& installFolder, UninstallProduct& product);
