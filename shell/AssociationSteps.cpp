// The registration object's association steps: the writer over the
// catalogue of the process, with the product as this object knows it.
#include "AssociationMediaClient.h"
#include "FileAssociationHelper.h"
#include "FileTypeCatalogue.h"
#include "OperatingSystem.h"
#include "ProgramResourceFiles.h"

AssociationProduct CFileAssociationHelper::AssociationFacts() const {
    AssociationProduct facts;
    if (!product_) return facts;
    facts.progIdBase = progIdBase_;
    facts.productExtension = productExtension_;
    facts.launcherPath = launcherPath_;
    facts.executablePath = exePath_;
    facts.mimeTypes = product_->GetMimeTypes();
    facts.protocols = product_->GetProtocols();
    return facts;
}

CAssociationWriter& CFileAssociationHelper::Writer() const {
    if (!writer_) writer_ = std::make_unique<CAssociationWriter>(AssociationFacts(), FileTypeCatalogue());
    return *writer_;
}

void CFileAssociationHelper::RegisterProductTypes() {
    if (!product_) return;
    Writer().RegisterProductTypes();
    if (Writer().ChangedAssociations()) writeTemplates_ = notifyShell_ = true;
}

bool CFileAssociationHelper::RegisterExtension(const VnString& extension, const VnString& progId) {
    if (!product_ || !Writer().RegisterExtension(extension, progId)) return false;
    writeTemplates_ = notifyShell_ = true;
    return true;
}

bool CFileAssociationHelper::RegisterMimeType(const VnString& mimeType, const VnString& extension) {
    return product_ && Writer().RegisterMimeType(mimeType, extension);
}

bool CFileAssociationHelper::RegisterProtocol(const VnString& protocol, const VnString& commandArgument) {
    return product_ && Writer().RegisterProtocol(protocol, commandArgument);
}

void CFileAssociationHelper::RegisterMediaClient() {
    if (!product_) return;
    MediaClientIdentity client;
    client.clientName = product_->GetProductName(6);
    const VnString installFolder = RecordedInstallationFolder();
    client.iconPath = installFolder.IsEmpty()
                          ? VnString()
                          : FindResourceFile(installFolder + u"Data\\", ProgramResourceKind::Art, u"Application.ico");
    client.operatingSystemCode = GetOperatingSystemCode();
    ::RegisterMediaClient(Writer(), FileTypeCatalogue(), client);
}
