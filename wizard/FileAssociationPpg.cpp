#include "FileAssociationPpg.h"

#include "EngineLog.h"
#include "VnDllString.h"
#include "VnLayout.h"

bool CFileAssociationPpg::IsAnswered() {
    return Options().Silent || (Options().ExpressSetup && Options().SameVersionInstalled) || Options().PortableSetup;
}

void CFileAssociationPpg::BuildControls() {
    CWizardPropertyPage::BuildControls();
    note_.Create(*this, VnDllString(VN_LIT(u"The file types keep the programs they open with now. Click Next to "
                                           u"continue.")));
}

void CFileAssociationPpg::Layout() {
    VnColumn column(GetPageArea());
    column.Place(note_);
}

bool CFileAssociationPpg::Apply() {
    EngineLog(u"CFileAssociationPpg", VN_LIT(u"Not built yet: choosing and writing file associations; nothing "
                                              u"was done"));
    return true;
}
