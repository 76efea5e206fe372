// Handing a command line to the media program: started with it when it does
// not run, else through its mailbox.
#pragma once

#include "VnString.h"

bool ExecuteProductCommandLine(const VnString& commandLine);
