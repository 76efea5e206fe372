// Skin folders: the check of a skin folder for the installer's own windows
// (start-up uses it for the payload's skin), and the skin folder stored in the
// program's settings. A usable folder's "main.xml" is a skin document (root
// "PMMS", version 3.0) of one of the product's allowed styles, with a
// "MAINFRAME" element.
#pragma once

#include "ToolsInterface.h"
#include "VnString.h"

constexpr char16_t kSkinDocumentFile[] = u"main.xml";

// `folder` ends in a backslash or not. The allowed styles are the
// ";"-separated names of "/*/General/MegaSkinStyles" (none given: only the
// empty style), compared without regard to case.
bool IsUsableSkinFolder(const VnString& folder, ProductInformation& product);

// The skin folder stored in the program's "Properties" under the name
// "/*/General/MegaSkinKey" gives ("Standard View Skin 2" when it gives none),
// as a folder path ending in a backslash; empty when it is not usable.
VnString GetStoredSkinFolder(ToolsInterface& tools);
