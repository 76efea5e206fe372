// The per-file actions of a package: copies into the program's folders,
// deletions, registration, starting programs, registry values and commands
// to the running program. A failing action shows its message (titled
// "Information") and the next action runs; nothing is rolled back.
#pragma once

#include <cstdint>

#include "PackageDescription.h"
#include "VnString.h"

struct PackageActionContext {
    VnString programFolder;  // one trailing backslash
    VnString unpackFolder;   // one trailing backslash
};

// Where the COPY_ commands put files, below the program folder.
VnString PackageTargetFolder(const VnString& command, const VnString& param, const VnString& programFolder);

// Runs every action of every entry, in order.
void RunPackageFileActions(const PackageDescription& description, const PackageActionContext& context);

// The "REGISTRY" action: "root|key|name|data" (at least four fields, else
// nothing is written). True when a value was written.
bool RunRegistryAction(const VnString& param, const VnString& programFolder);

// Copies every file below the folder `from` into `to` (both with a trailing
// backslash), sub-folders included, attributes set to normal. On failure the
// error, with the target that failed in `failedTarget`.
uint32_t CopyFolderFiles(const VnString& from, const VnString& to, VnString& failedTarget);

// Shows a package message through the tools library, titled "Information"
// (or `title`); while quiet it is only logged.
void ShowPackageMessage(const VnString& text);
void ShowPackageMessage(const VnString& text, const VnString& title);

// For its lifetime, with `quiet`, package messages are logged, not shown: a
// silent install or a quiet package install must not stop at a box nobody
// answers.
class QuietPackageMessages {
public:
    explicit QuietPackageMessages(bool quiet);
    ~QuietPackageMessages();
    QuietPackageMessages(const QuietPackageMessages&) = delete;
    QuietPackageMessages& operator=(const QuietPackageMessages&) = delete;

private:
    bool outer_;
};
