// The migration of an earlier version's settings on the first installation
// of this version: the per-user registry tree, the start-with-Windows entry,
// and the user's custom folders and art caches, copied forward from the
// newest earlier version (32 down to 20) whose data folder has a "Library".
// The earlier version's keys and folders are only read, except its Run
// value, which is replaced by this version's, and the run-mode setting beside it.
#pragma once

#include "RegistryTreeCopy.h"
#include "VnString.h"

class CSettingsMigration {
public:
    // The version this installer migrates into.
    static constexpr int kCurrentVersion = 33;
    static constexpr int kNewestEarlierVersion = 32;
    static constexpr int kOldestEarlierVersion = 20;

    // Runs the whole migration when it applies; no result (what is missing is
    // skipped, what fails is logged).
    void MigrateSettings();
    // The version migrated by the last run, 0 when none.
    int MigratedVersion() const { return version_; }
    const TextReplacements& Replacements() const { return replacements_; }

private:
    // Finds the earlier version; false when none left a "Library".
    bool FindEarlierVersion();
    void ReplaceStartWithWindowsEntry();
    void ForgetCarriedDefaultLibrary();
    void CopyFolders();
    void CopyCoverArt();

    TextReplacements replacements_;
    int version_ = 0;
    VnString dataFolder_;            // this version's, ending in a backslash
    VnString earlierDataFolder_;
    VnString earlierInstallFolder_;  // empty when unknown
    VnString earlierImageLocation_;  // "File Location - Image File Location" of the earlier version
};

// The copy-and-install sequence's migration step.
void MigrateSettings();
