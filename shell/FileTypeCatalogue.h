// The file type catalogue of the process: "FileAssociations.xml" read once,
// on first use, and shared by every reader. Creation runs under one lock;
// afterwards the lists are only read, from any thread.
//
// The file is the program's resource "FileAssociations.xml" in the data
// folder recorded for the process ("Custom Resources\" before "Default
// Resources\"). The product's "/*/Product/DefaultFileTypes" and
// "/*/Product/DefaultAssocFileTypes" replace the default lists, and installed
// input plug-ins add their types (InputPluginSource.h).
//
// A file that cannot be read, is not XML, has another root than "PMFA" or a
// version below 1.0 is fatal: the message "Failed to load file associations
// file. ..." is shown (title "Information") and the process ends with exit
// code 0. Should the process go on (tests replace that ending), the catalogue
// stays loaded with every list empty.
#pragma once

#include "FileTypeCatalogueReader.h"

using CFileTypeCatalogue = CFileTypeCatalogueData;

// The catalogue of the process, loaded on first use.
const CFileTypeCatalogue& FileTypeCatalogue();

// What follows the failure message; by default the process ends with code 0.
using CatalogueFailureEnding = void (*)();
void SetCatalogueFailureEndingForTests(CatalogueFailureEnding ending);
// Forgets the loaded catalogue, so the next use loads it again. Tests only.
void ResetFileTypeCatalogueForTests();

// The text of the failure message for the located path and the version read.
VnString CatalogueFailureMessage(const VnString& path, const VnString& version);
