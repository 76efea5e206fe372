#include "FileAssociationHelper.h"

#include "AssociationProductFacts.h"
#include "BuiltInRegistryRows.h"
#include "EngineLog.h"
#include "LoadedProduct.h"
#include "ProgramResourceFiles.h"
#include "RegistryRowApplier.h"
#include "VnPlatform.h"

namespace {
constexpr uint32_t kShcnfIdList = 0;

VnString WithBackslash(VnString folder) {
    if (!folder.IsEmpty() && !folder.EndsWith(u"\\")) folder += u'\\';
    return folder;
}
}  // namespace

CFileAssociationHelper::CFileAssociationHelper(const VnString& context)
    : CFileAssociationHelper(context, LoadedProductInformation()) {}

CFileAssociationHelper::CFileAssociationHelper(const VnString& context, ProductInformation* product)
    : context_(context), product_(product) {
    if (product) {
        productName_ = product->GetProductName(3);
        progIdBase_ = ProgIdBaseOf(*product);
        launcherPath_ = product->GetLauncherPath();
        launcherName_ = product->GetLauncherName();
        executableName_ = product->GetExecutableName();
        productExtension_ = DottedProductExtension(*product);
    }
    exePath_ = RecordedInstallationFolder() + executableName_;
    if (!product) productExtension_ = VN_LIT(u".");
}

CFileAssociationHelper::~CFileAssociationHelper() {
    if (writeTemplates_) WriteRegistryTemplates();
    if (notifyShell_) VnPlatform().Shell().ChangeNotify(vnwin::kShcneAssocChanged, kShcnfIdList);
}

RegistryTokenValues CFileAssociationHelper::TokenValues() const {
    RegistryTokenValues values;
    values.installFolder = RecordedInstallationFolder();
    values.systemFolder = WithBackslash(VnPlatform().System().GetSystemDirectory());
    const VnString installer = VnPlatform().System().GetModuleFileName();
    values.installerFolder = installer.Left(installer.ReverseFind(u'\\') + 1);
    values.productName = productName_;
    values.progIdBase = progIdBase_;
    values.launcherPath = launcherPath_;
    values.launcherName = launcherName_;
    values.executableName = executableName_;
    // Art is looked up in the installed program, not in the set-up folder the
    // installer runs from: the registration must outlive the set-up folder.
    const VnString artData = values.installFolder.IsEmpty() ? VnString() : values.installFolder + u"Data\\";
    values.findArt = [artData](const VnString& name) {
        return FindResourceFile(artData, ProgramResourceKind::Art, name);
    };
    return values;
}

void CFileAssociationHelper::WriteRegistryTemplates() {
    ToolsLogScope scope(VnToolsLog(), u"CFileAssociationHelper::WriteRegistryTemplates");
    if (!product_) {
        // Without product information every ProgID would be a bare ".File".
        scope.Write(VN_LIT(u"No product information: nothing written"));
        return;
    }
    ApplyRegistryTemplates(BuildBuiltInRegistryRows(!launcherPath_.IsEmpty()), TokenValues());
    RegisterProductTypes();
    RegisterMediaClient();
}
