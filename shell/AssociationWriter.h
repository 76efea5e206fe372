// The association writer: gives file extensions, MIME types and URL protocols
// to the product, keeping a backup of every value another program owned, and
// answers whether an extension (or an audio CD or DVD video disc) is ours.
// One implementation for the installer's registration object and for the
// package installer's "/RegFileAssociations"; it needs only the platform's
// registry and the file type catalogue. docs/associations.md has the rules:
// ownership by progIdBase, the backup value names, first owner kept.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "FileTypeCatalogueReader.h"
#include "VnPlatform.h"
#include "VnString.h"

// What the writer knows of the product.
struct AssociationProduct {
    VnString progIdBase;        // product name (form 3) without blanks, ".", version
    VnString productExtension;  // the product's own extension, beginning with "."
    VnString launcherPath;      // the launcher; empty when the product has none
    VnString executablePath;    // installation folder + executable name
    VnString mimeTypes;         // the product's own MIME types, ";"-separated
    VnString protocols;         // the product's URL protocols, ";"-separated
};

// The backup value name of `valueName` (empty: the unnamed value):
// progIdBase + ".Default.BAK", or progIdBase + "." + name + ".BAK", with every
// blank removed ("Content Type" gives ".ContentType.BAK").
VnString AssociationBackupValueName(const VnString& progIdBase, const VnString& valueName);

class CAssociationWriter {
public:
    CAssociationWriter(const AssociationProduct& product, const CFileTypeCatalogueData& catalogue)
        : product_(product), catalogue_(catalogue) {}

    // A ProgID is ours when the text before its last "." is progIdBase (any
    // case); a ProgID without "." is compared whole.
    bool IsOurs(const VnString& progId) const;
    // The ProgID the product gives an extension (".mpl" Playlist, ".wsz" Pack,
    // the feed types Subscribe, the product's extension Mime, others File).
    VnString GetProgIdForExtension(const VnString& extension) const;

    // The product's extension, its MIME types and its protocols.
    void RegisterProductTypes();
    // The extension's MIME types, then (except ".dat") its class key and the
    // user's Explorer choice given to `progId` (empty: GetProgIdForExtension).
    // False for ".dat" and for a name that cannot be an extension.
    bool RegisterExtension(const VnString& extension, const VnString& progId);
    // The MIME database entry pointed at `extension` (empty: the product's
    // own). False when the type has no "/" or its key cannot be written.
    bool RegisterMimeType(const VnString& mimeType, const VnString& extension);
    // "<name>" as a URL protocol opened by the launcher (or the program) with
    // `commandArgument`. False when the name is unusable.
    bool RegisterProtocol(const VnString& protocol, const VnString& commandArgument);

    // Whether the extension is the product's now; "cdaudiodisc" and
    // "dvdvideodisc" ask whether their play command runs the launcher.
    bool IsAssociatedWithUs(const VnString& extension) const;
    // The same answers for many extensions (a list's rows): the user's
    // Explorer choices are listed once instead of opened for each extension,
    // each an open that mostly finds nothing.
    std::vector<bool> AreAssociatedWithUs(const VnStringArray& extensions) const;

    // True once RegisterExtension has handled an extension: the shell must be told.
    bool ChangedAssociations() const { return changed_; }

    const AssociationProduct& Product() const { return product_; }

private:
    // Writes `wanted` as REG_SZ into `name` after saving a foreign value in
    // its backup (unless a backup of that name exists already).
    void ReplaceKeepingBackup(VnRegKey key, const VnString& name, const VnString& wanted) const;
    bool IsOurDefault(VnRegRoot root, const VnString& keyPath, const VnString& name) const;
    // `userChoices`: the user's Explorer choices by folded name, or null to open the extension's.
    bool IsAssociatedWithUs(const VnString& extension, const std::unordered_set<std::u16string>* userChoices) const;

    AssociationProduct product_;
    const CFileTypeCatalogueData& catalogue_;
    bool changed_ = false;
};

// Whether a text can be one registry key name for an extension, MIME type or
// protocol: not empty, at most 255 characters, no "\" and no control
// character. `forbidden` lists further characters to refuse.
bool IsUsableAssociationKeyName(const VnString& name, std::u16string_view forbidden);
