// The program as a Windows media client: the key under "Software\Clients\Media"
// with its capabilities, which Windows' Default Programs settings read, and
// its entry in "Software\RegisteredApplications". Vista and later only.
#pragma once

#include "AssociationWriter.h"

struct MediaClientIdentity {
    VnString clientName;       // product name, form 6
    VnString iconPath;         // "Application.ico" from the art lookup; may be empty
    int operatingSystemCode;   // 1008 (Vista) and later up to 1999 register
};

// The capabilities list every extension of the catalogue's handled
// descriptions, each with the ProgID the writer gives it; the list is rebuilt
// from scratch each time. A key that cannot be written skips its values.
void RegisterMediaClient(const CAssociationWriter& writer, const CFileTypeCatalogueData& catalogue,
                         const MediaClientIdentity& client);
