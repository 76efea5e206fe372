// "PackageInstaller.exe /RegFileAssociations": the file types the user chose
// on the installer's page ("File Associations - Selected Media Types" in the
// product's "Properties", ";"-separated, "NONE" for no choice) given to the
// product through the association writer the installer uses
// (AssociationWriter.h), with the product installed in the program's folder.
#pragma once

#include <cstdint>

#include "VnString.h"

// 0 when every chosen type was registered (or nothing was chosen);
// ERROR_FILE_NOT_FOUND without the product's description; ERROR_INVALID_DATA
// when some items could not be registered (each fails alone, the others are
// written). Duplicates (any case) and empty items are skipped.
uint32_t RegisterStoredFileAssociations(const VnString& programFolder);
