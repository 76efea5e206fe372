// The default library and settings carried with the installer (the
// "Library\" folder beside it): on a machine without an installation of the
// product, or for a portable install, its library goes into the program's
// data folder, marked "Clone.flg" so that the program clones it on its first
// start, its shared settings file goes into the data folder's "Settings\",
// and the program's stored library choice and per-install counters are
// cleared so that the carried library is the one used.
#pragma once

// False when the step does not apply (an installation was found and the
// install is not portable), else true.
bool LoadDefaultLibraryAndSettings();
