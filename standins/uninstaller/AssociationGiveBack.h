// Gives file types, MIME types and protocols back to the programs that owned
// them before the product took them. Whenever the product's association
// writer replaces another program's value it keeps the old text beside it, in
// the same key, under a backup value named after the product's ProgID base:
// "<base>.Default.BAK" for the unnamed value, "<base>.<name without blanks>.BAK"
// for a named one ("Tunaro.33.0.44.ContentType.BAK" keeps "Content Type").
//
// A key is given back only while it still names the product: an extension
// whose ProgID is still ours, a MIME type whose extension is still ours, a
// protocol whose command still starts the installed program. A type the user
// has since given to another program is left alone, backups and all.
#pragma once

#include "VnArray.h"
#include "VnString.h"

struct FileTypeGiveBack {
    // The start of every ProgID and backup value name of the product, of any
    // version: the product's name (form 3) without blanks, and ".".
    VnString familyPrefix;
    VnString installFolder;     // a command naming a path below it is ours
    VnString productExtension;  // ".pmr": a MIME type pointing at it is ours
};

struct FileTypeGiveBackResult {
    int givenBack = 0;  // keys whose earlier owner was put back
    int leftAlone = 0;  // keys with backups that another program owns now
    VnStringArray log;
};

// Scans the classes of the machine and of the user, the MIME database and
// the user's Explorer choices for the product's backups and gives back what
// still names the product. Extension and MIME keys left without any value
// or subkey are deleted.
FileTypeGiveBackResult GiveBackFileTypes(const FileTypeGiveBack& product);
