// The built-in registry rows of the shell registration: the program's
// ProgIDs, the extensions of its own file kinds, its MIME database entries,
// its AutoPlay handlers and two per-user entries. Every row modifies; the
// tokens are expanded when the rows are applied. docs/registry-rows.md lists
// the table.
#pragma once

#include "VnArray.h"

// The table in its order. The five "Applications\[LAUNCHERNAME]" rows are
// there only when the product has a launcher path. The AutoPlay labels pass
// through the tools library's translation.
VnStringArray BuildBuiltInRegistryRows(bool withLauncherPath);
