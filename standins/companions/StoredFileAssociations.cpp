#include "StoredFileAssociations.h"

#include <memory>
#include <string>
#include <unordered_set>

#include "AssociationProductFacts.h"
#include "CompanionProduct.h"
#include "CompanionRecord.h"
#include "ProgramResourceLookup.h"
#include "ToolsProductInformation.h"
#include "ToolsRegistryStore.h"

namespace {

constexpr uint32_t kErrorInvalidData = 13;
constexpr uint32_t kShcnfIdList = 0;

// The product installed in the program's own folder.
struct ProgramFolders final : ToolsProcessFolders {
    VnString folder;
    VnString GetProgramFolder() const override { return folder; }
    VnString GetModuleFolder() const override { return folder; }
};

VnString LowerCase(VnString text) {
    text.MakeLower();
    return text;
}

}  // namespace

uint32_t RegisterStoredFileAssociations(const VnString& programFolder) {
    VnString productKey;
    if (!FindProductSettingsKey(programFolder, productKey)) return vnwin::kErrorFileNotFound;
    ToolsRegistryStore properties(VnRegRoot::CurrentUser, productKey + u"\\Properties", 0);
    const VnString selection =
        properties.GetText(VN_LIT(u"File Associations - Selected Media Types"), VN_LIT(u"NONE"));
    SetCompanionState(u"", VN_LIT(u"File Associations Requested"), selection);
    if (selection == u"NONE") return 0;

    auto file = std::make_unique<ToolsProductFile>();
    VnString error;
    if (!file->Load(programFolder + ToolsProductFile::kFileName, error)) return vnwin::kErrorFileNotFound;
    ProgramFolders folders;
    folders.folder = programFolder;
    ToolsProductInformation product(std::move(file), folders);

    // Without a readable catalogue the extensions are still given to the
    // product; only their MIME types are unknown.
    CFileTypeCatalogueData catalogue;
    ReadFileTypeCatalogueFile(
        FindResourceFile(programFolder + u"Data\\", ProgramResourceKind::Resources, u"FileAssociations.xml"),
        FileTypeCatalogueInputs(), catalogue);
    CAssociationWriter writer(DescribeAssociationProduct(product, programFolder), catalogue);

    std::unordered_set<std::u16string> seen;
    int failed = 0;
    for (const VnString& item : VnStringArray::Split(selection, u";")) {
        if (item.IsEmpty() || !seen.insert(std::u16string(LowerCase(item).View())).second) continue;
        if (!writer.RegisterExtension(item, VnString())) ++failed;
    }
    if (writer.ChangedAssociations()) VnPlatform().Shell().ChangeNotify(vnwin::kShcneAssocChanged, kShcnfIdList);
    SetCompanionState(u"", VN_LIT(u"File Associations Failed"), VnString::FromInt(failed));
    return failed ? kErrorInvalidData : 0;
}
