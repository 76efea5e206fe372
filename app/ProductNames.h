// The names of the product's own files that become folder names, file names
// and registry key names: the product names in forms 3, 4 and 6, the main
// executable's and the launcher's file names, and the Start Menu folder name.
// Start-up checks them once, right after the product information is loaded,
// so that no later step (the destination default, the installation record,
// the uninstall entry, the shell registration, the shortcuts) ever joins a
// name that climbs out of its folder, names a device, or is missing.
#pragma once

#include <string_view>

#include "ToolsInterface.h"
#include "VnString.h"

// Why `name` cannot be one component of a Windows path and one registry key
// name ("it is empty", "it holds \"..\"", ...); empty when it can.
VnString NameComponentProblem(std::u16string_view name);

// The first name of the product that cannot be used, as a sentence naming
// the value and the reason; empty when all can.
VnString ProductNamesProblem(ProductInformation& product);
