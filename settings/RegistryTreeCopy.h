// CopyRegistryTree: copies one HKEY_CURRENT_USER key with every value and
// subkey below it into another, applying find/replace pairs to text values.
//
// Text values (REG_SZ, REG_EXPAND_SZ) get every pair applied and keep their
// type; a text that no pair changes, and every value of any other type, is
// copied byte for byte. Both keys are held open for the whole copy (the
// property store reopens its key for every operation and cannot name a key's
// default value while enumerating).
#pragma once

#include "VnArray.h"
#include "VnString.h"

// Find texts and their replacements, applied in one pass over a text: at each
// place the longest find text that matches there (case ignored) is replaced,
// and the scan goes on after it, so that no replacement is replaced again.
class TextReplacements {
public:
    void Add(const VnString& find, const VnString& replacement);
    void Clear();
    bool IsEmpty() const { return finds_.IsEmpty(); }
    int Count() const { return finds_.GetSize(); }
    VnString Apply(const VnString& text) const;

private:
    VnStringArray finds_;
    VnStringArray replacements_;
};

struct RegistryTreeCopyResult {
    bool sourceFound = false;
    int valuesCopied = 0;
    int keysCopied = 0;
    int failures = 0;  // values or keys that could not be read or written, each logged
};

// Subkeys of `source` named in `excluded` (case ignored) are left out; the
// exclusions apply to the top level only.
RegistryTreeCopyResult CopyRegistryTree(const VnString& source, const VnString& destination,
                                        const VnStringArray& excluded, const TextReplacements& replacements);
