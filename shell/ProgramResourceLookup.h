// The program's resource lookup: a file of a kind is looked up in the custom
// folder of the kind first, then in the default one, below the program's data
// folder ("<program>\Data\"). Used by the installer and the package installer.
#pragma once

#include "VnString.h"

enum class ProgramResourceKind {
    Art,        // "Custom Art\", then "Default Art\"
    Resources,  // "Custom Resources\", then "Default Resources\"
};

// The full path of `name` in the first of the kind's two folders below
// `dataFolder` (ending in a backslash) that holds it; empty when neither does.
VnString FindResourceFile(const VnString& dataFolder, ProgramResourceKind kind, const VnString& name);
