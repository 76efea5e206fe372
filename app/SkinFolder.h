// The check of a skin folder for the installer's own windows: the folder's
// "main.xml" must be a skin document (root "PMMS", version 3.0) of one of the
// product's allowed styles, with a "MAINFRAME" element.
#pragma once

#include "ToolsInterface.h"
#include "VnString.h"

constexpr char16_t kSkinDocumentFile[] = u"main.xml";

// `folder` ends in a backslash or not. The allowed styles are the
// ";"-separated names of "/*/General/MegaSkinStyles" (none given: only the
// empty style), compared without regard to case.
bool IsUsableSkinFolder(const VnString& folder, ProductInformation& product);
