// CFileAssociationHelper: the registration object of the shell registration.
// It is filled from the product information when it is built and does its
// work when it is released (destroyed): with writeTemplates set it writes the
// registry rows (WriteRegistryTemplates), with notifyShell set it then tells
// the shell that associations changed. The copy-and-install sequence builds
// one, sets both flags and releases it at once; the file-associations list of
// the wizard keeps one for reading the current owners of extensions and sets
// no flags, so its release writes nothing.
//
// The association writer (AssociationWriter.h: the product's own extension,
// MIME types and protocols, and the media-client capabilities) works through
// this object: RegisterProductTypes and RegisterMediaClient are called by
// WriteRegistryTemplates after the table, and the file associations page asks
// AreAssociatedWithUs of its rows.
#pragma once

#include <memory>

#include "AssociationWriter.h"
#include "RegistryTokens.h"
#include "ToolsInterface.h"
#include "VnString.h"

class CFileAssociationHelper {
public:
    // Fills the strings from `product`; null leaves them empty (nothing then
    // expands to a product name or path). Both flags start clear.
    CFileAssociationHelper(const VnString& context, ProductInformation* product);
    // The same with the loaded tools library's product information.
    explicit CFileAssociationHelper(const VnString& context);
    // The release: WriteRegistryTemplates if writeTemplates is set, then the
    // shell notification (SHCNE_ASSOCCHANGED) if notifyShell is set.
    ~CFileAssociationHelper();
    CFileAssociationHelper(const CFileAssociationHelper&) = delete;
    CFileAssociationHelper& operator=(const CFileAssociationHelper&) = delete;

    void SetWriteTemplates(bool on) { writeTemplates_ = on; }
    void SetNotifyShell(bool on) { notifyShell_ = on; }
    bool WritesTemplates() const { return writeTemplates_; }
    bool NotifiesShell() const { return notifyShell_; }

    // The built-in rows applied, then RegisterProductTypes, then
    // RegisterMediaClient. Without product information nothing is written.
    void WriteRegistryTemplates();

    // The association writer's steps (AssociationSteps.cpp), over the
    // catalogue of the process. RegisterExtension sets both flags when it
    // handled the extension.
    void RegisterProductTypes();
    void RegisterMediaClient();
    bool RegisterExtension(const VnString& extension, const VnString& progId);
    bool RegisterMimeType(const VnString& mimeType, const VnString& extension);
    bool RegisterProtocol(const VnString& protocol, const VnString& commandArgument);
    VnString GetProgIdForExtension(const VnString& extension) const { return Writer().GetProgIdForExtension(extension); }
    bool IsAssociatedWithUs(const VnString& extension) const { return Writer().IsAssociatedWithUs(extension); }
    std::vector<bool> AreAssociatedWithUs(const VnStringArray& extensions) const {
        return Writer().AreAssociatedWithUs(extensions);
    }
    // What the writer knows of the product (empty without product information).
    AssociationProduct AssociationFacts() const;

    // Product name in form 3 without blanks, ".", the product version.
    const VnString& GetProgIdBase() const { return progIdBase_; }
    const VnString& GetLauncherPath() const { return launcherPath_; }
    const VnString& GetLauncherName() const { return launcherName_; }
    // Installation folder + executable name.
    const VnString& GetExecutablePath() const { return exePath_; }
    const VnString& GetContext() const { return context_; }
    // The product's own extension, always beginning with ".".
    const VnString& GetProductExtension() const { return productExtension_; }
    // The product information the object was filled from (null: none).
    ProductInformation* Product() const { return product_; }

    // The token values the rows expand with, computed now: the folders of this
    // install and the art lookup in the installed program's data folder.
    RegistryTokenValues TokenValues() const;

private:
    CAssociationWriter& Writer() const;

    bool writeTemplates_ = false;
    bool notifyShell_ = false;
    VnString progIdBase_;
    VnString launcherPath_;
    VnString launcherName_;
    VnString exePath_;
    VnString context_;
    VnString productExtension_;
    VnString productName_;     // form 3
    VnString executableName_;
    ProductInformation* product_ = nullptr;
    mutable std::unique_ptr<CAssociationWriter> writer_;  // made on first use
};
