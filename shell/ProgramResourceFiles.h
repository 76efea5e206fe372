// The folders of this install that the resource lookup
// (ProgramResourceLookup.h) is pointed at.
#pragma once

#include "ProgramResourceLookup.h"
#include "VnString.h"

// The data folder recorded for this process ("<folder>Data\"): the data
// folder of the process-information block when one is set, else the
// installation folder. Empty when neither is known.
VnString RecordedProgramDataFolder();

// The installation folder of this install: the program folder recorded for
// the process, else the destination the wizard chose; ends in a backslash.
VnString RecordedInstallationFolder();
