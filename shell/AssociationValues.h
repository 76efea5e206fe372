// Registry values as the association writer reads and saves them.
#pragma once

#include <string>

#include "VnPlatform.h"
#include "VnString.h"

class CAssociationWriter;

// A value's text: REG_SZ and REG_EXPAND_SZ as stored, REG_DWORD as its signed
// decimal text, anything else (or no value) empty.
VnString RegistryValueText(VnRegKey key, const VnString& name);

// A value as it stands before the writer replaces it, read once: its raw
// data, and for REG_SZ its text. A value of any type other
// than REG_SZ is saved with that raw data, so a foreign value of an
// unexpected type is kept whole rather than lost.
struct StoredAssociationValue {
    uint32_t type = vnwin::kRegNone;
    std::basic_string<uint8_t> raw;
    VnString text;
    bool holdsData = false;  // any data stored (types other than REG_SZ)

    // Whether replacing it by `wanted` loses another program's value: a
    // non-empty string that is not one of our ProgIDs and differs from
    // `wanted` (any case), or a value of another type with any data.
    bool NeedsBackup(const VnString& wanted, const CAssociationWriter& writer) const;
    // Writes it under `backupName` unless a value of that name exists already
    // (the first foreign owner is the one kept). A string is saved as REG_SZ,
    // anything else with its own type and data.
    void SaveAsBackup(VnRegKey key, const VnString& backupName) const;
};

// False when the value does not exist.
bool ReadStoredAssociationValue(VnRegKey key, const VnString& name, StoredAssociationValue& value);
