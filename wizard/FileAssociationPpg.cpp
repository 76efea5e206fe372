#include "FileAssociationPpg.h"

#include <memory>

#include "ComponentRegistration.h"
#include "EngineLog.h"
#include "FileTypeCatalogue.h"
#include "ToolsLink.h"
#include "VnDllString.h"
#include "VnLayout.h"

namespace {

constexpr char16_t kSelectedTypesValue[] = u"File Associations - Selected Media Types";
constexpr char16_t kConfirmedValue[] = u"File Associations - Set";
constexpr char16_t kNoSelection[] = u"NONE";

std::unique_ptr<ToolsPropertyStore> OpenProperties() {
    ToolsInterface* tools = VnTools();
    return std::unique_ptr<ToolsPropertyStore>(tools ? tools->OpenPropertyStore(u"Properties") : nullptr);
}

VnStringArray CatalogueDefaults() { return FileTypeCatalogue().GetList(kDefaultAssocFileTypes, false); }

}  // namespace

CFileAssociationPpg::CFileAssociationPpg(CInstallWizard* wizard, const VnString& title, const VnString& subtitle)
    : CWizardPropertyPage(wizard, title, subtitle) {
    const std::unique_ptr<ToolsPropertyStore> properties = OpenProperties();
    const VnString stored = properties ? properties->GetText(kSelectedTypesValue, kNoSelection) : VnString(kNoSelection);
    storedSelection_ = stored != kNoSelection;
    if (storedSelection_)
        for (const VnString& type : VnStringArray::Split(stored, u";"))
            if (!type.IsEmpty()) selectedTypes_.Add(type);
}

bool CFileAssociationPpg::IsAnswered() {
    return Options().Silent || (Options().ExpressSetup && Options().SameVersionInstalled) || Options().PortableSetup;
}

void CFileAssociationPpg::PrepareDefaults() {
    if (defaultsPrepared_) return;
    defaultsPrepared_ = true;
    if (!storedSelection_ && !Options().NoAssociations && !Options().PortableSetup) selectedTypes_ = CatalogueDefaults();
}

void CFileAssociationPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    list_.Fill(BuildFileTypeRows(FileTypeCatalogue()), selectedTypes_);
    list_.Create(*this);
    selectAll_.Create(*this, VnDllString(VN_LIT(u"Select All")));
    unselectAll_.Create(*this, VnDllString(VN_LIT(u"Unselect All")));
    selectDefault_.Create(*this, VnDllString(VN_LIT(u"Select Default")));
}

void CFileAssociationPpg::Layout() {
    const VnRect area = GetPageArea();
    const int32_t buttonHeight = VnLayout::ButtonHeight();
    list_.SetRect(VnRect{area.left, area.top, area.right, area.bottom - buttonHeight - VnLayout::kSpacing});
    int32_t x = area.left;
    for (VnButton* button : {&selectAll_, &unselectAll_, &selectDefault_}) {
        const int32_t width = button->GetPreferredWidth();
        button->SetRect(VnRect::At(x, area.bottom - buttonHeight, width, buttonHeight));
        x += width + VnLayout::kSpacing;
    }
}

void CFileAssociationPpg::OnCommand(VnWnd& control, uint16_t code) {
    if (code != kVnNotifyClicked) return;
    if (&control == &selectAll_ || &control == &unselectAll_) list_.SetAllChecked(&control == &selectAll_);
    if (&control == &selectDefault_) list_.CheckExactly(CatalogueDefaults());
}

bool CFileAssociationPpg::OnLeaveForward() {
    if (!IsAnswered()) {
        selectedTypes_ = list_.GetCheckedTypes();
        if (const std::unique_ptr<ToolsPropertyStore> properties = OpenProperties())
            properties->SetNumber(kConfirmedValue, 1, 0);
    }
    return Apply();
}

bool CFileAssociationPpg::Apply() {
    // A page passed over was never built: its starting choice still counts,
    // so a silent install associates the defaults unless told otherwise.
    PrepareDefaults();
    if (const std::unique_ptr<ToolsPropertyStore> properties = OpenProperties())
        properties->SetText(kSelectedTypesValue, selectedTypes_.Join(u";"), 0);
    EngineLog(u"CFileAssociationPpg::Apply", VnString::Format(u"%d file types chosen", int(selectedTypes_.GetCount())));
    RunPackageInstaller(VN_LIT(u"/RegFileAssociations"));
    return true;
}
