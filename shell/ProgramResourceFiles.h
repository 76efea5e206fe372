// The program's resource lookup as the shell registration uses it: a file of
// a kind is looked up in the custom folder of the kind first, then in the
// default one, below the program's data folder ("<program>\Data\").
#pragma once

#include "VnString.h"

enum class ProgramResourceKind {
    Art,        // "Custom Art\", then "Default Art\"
    Resources,  // "Custom Resources\", then "Default Resources\"
};

// The full path of `name` in the first of the kind's two folders below
// `dataFolder` (ending in a backslash) that holds it; empty when neither does.
VnString FindResourceFile(const VnString& dataFolder, ProgramResourceKind kind, const VnString& name);

// The data folder recorded for this process ("<folder>Data\"): the data
// folder of the process-information block when one is set, else the
// installation folder. Empty when neither is known.
VnString RecordedProgramDataFolder();

// The installation folder of this install: the program folder recorded for
// the process, else the destination the wizard chose; ends in a backslash.
VnString RecordedInstallationFolder();
