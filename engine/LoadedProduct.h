// The product information of the loaded tools library, for the steps that
// run after start-up and take no arguments.
#pragma once

#include "ToolsInterface.h"

// Null while no tools library is loaded or it has no product information.
ProductInformation* LoadedProductInformation();
