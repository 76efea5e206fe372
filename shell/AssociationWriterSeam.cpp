// Seams: the association writer is not built yet. Its two steps run after the
// built-in rows in their places; each logs that nothing was done.
#include "FileAssociationHelper.h"
#include "NotBuiltSeam.h"

// The product's own extension, its MIME types and its URL protocols, each
// keeping a backup of the previous owner's value.
void CFileAssociationHelper::RegisterProductTypes() { LogNotBuilt(u"CFileAssociationHelper::RegisterProductTypes"); }

// The program as a Windows media client with its capabilities (Vista and later).
void CFileAssociationHelper::RegisterMediaClient() { LogNotBuilt(u"CFileAssociationHelper::RegisterMediaClient"); }
