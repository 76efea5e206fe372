// The installer's command line: the raw text Windows hands to the entry point
// becomes an argument array, the arguments become one option string again,
// and the slash options of that string are recorded in InstallOptions.
#pragma once

#include <string_view>

#include "InstallOptions.h"
#include "VnArray.h"
#include "VnString.h"

// Splits the command-line text (without the program's own path) into
// arguments. Double quotes group text with spaces and are dropped; a closing
// quote emits the argument even when it is empty. A double quote preceded by
// an odd number of backslashes is literal, and those backslashes stay.
VnStringArray SplitCommandLine(std::u16string_view commandLine);

// Joins arguments into one option string separated by single spaces. Each
// double quote becomes backslash + double quote, and an argument holding a
// space, an apostrophe or a parenthesis is wrapped in double quotes.
VnString JoinCommandLine(const VnStringArray& arguments);

// Records the slash options of the option string in `options`. Text before
// the first "/" is dropped; each piece after a "/" is matched at its start,
// without regard to case, against the option names in a fixed order (the
// first match wins, the rest of the piece is ignored for flags, unknown pieces
// are ignored). "DistributorID" takes the rest of its piece, trimmed; the last
// one given wins. Never fails.
bool ParseCommandLineOptions(std::u16string_view optionString, InstallOptions& options);
