// What the association writer knows of the product, taken from the tools
// library's product information, and the catalogue file read from a
// program's data folder. Shared by the installer and the package installer.
#pragma once

#include "AssociationWriter.h"
#include "ToolsInterface.h"

// Product name (form 3) without blanks, ".", the product version.
VnString ProgIdBaseOf(ProductInformation& product);
// The product's own extension with a "." in front when it has none.
VnString DottedProductExtension(ProductInformation& product);

// The facts of `product` installed in `installFolder` (ending in a backslash).
AssociationProduct DescribeAssociationProduct(ProductInformation& product, const VnString& installFolder);

// Reads "FileAssociations.xml" at `path` into `catalogue`; the result says
// why it did not load ("the file is missing", "the file cannot be read", or
// the reader's reason).
FileTypeCatalogueReadResult ReadFileTypeCatalogueFile(const VnString& path, const FileTypeCatalogueInputs& inputs,
                                                      CFileTypeCatalogueData& catalogue);
