// "VnMediaUninstall.exe", the product's uninstaller. The installer only names
// it (the uninstall entry and a shortcut) and never runs it, so the stand-in
// does nothing but have its start recorded; it uninstalls nothing.
#include "CompanionPrograms.h"

uint32_t VnMediaUninstallMain(const CompanionStart&) { return 0; }
