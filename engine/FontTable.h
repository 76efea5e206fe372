// Adding a font file to the system font table (AddFontResourceW), which the
// platform layer does not carry. On Windows this is the real call. Natively
// (the simulated machine) nothing outside the process would see it, so the
// files are only recorded, where the tests can read them.
#pragma once

#include "VnArray.h"
#include "VnString.h"

// True when the font table took the file.
bool AddToFontTable(const VnString& fontFile);

// Native builds: the files added so far, in order; cleared by the tests.
VnStringArray& FontTableRecord();
