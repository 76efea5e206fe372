// The program's per-user data folder, where it keeps its library, settings
// files and art caches: the user's application-data folder + "V. Arnel\" +
// the product's settings name ("Tunaro 33"). A portable install keeps it
// beside the program instead, in the destination's "Application Data\", so
// that it never shares the data of an installed copy.
#pragma once

#include "VnString.h"

// Ends in a backslash; empty when the application-data folder is unknown
// (or, for a portable install, the destination is not chosen yet).
VnString ProgramDataFolder();

// The data folder of an earlier version: `currentFolder` with `currentName`
// ("Tunaro 33") replaced by "Tunaro <version>" (case ignored).
VnString EarlierDataFolder(const VnString& currentFolder, const VnString& currentName, int version);

// Every `find` in `text` replaced by `replacement`, case ignored.
VnString ReplaceNoCase(const VnString& text, const VnString& find, const VnString& replacement);
