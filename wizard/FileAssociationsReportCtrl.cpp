#include "FileAssociationsReportCtrl.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "VnDllString.h"

namespace {

using TypeSet = std::unordered_set<std::u16string>;

std::u16string Lower(const VnString& text) {
    VnString lower = text;
    lower.MakeLower();
    return std::u16string(lower.View());
}

TypeSet SetOf(const VnStringArray& types) {
    TypeSet set;
    for (const VnString& type : types) set.insert(Lower(type.StartsWith(u".") ? type.Mid(1) : type));
    return set;
}

VnString DisplayText(const VnString& description) {
    const int32_t parts = description.Find(u" (");
    return parts < 0 ? description : description.Left(parts);
}

constexpr const char16_t* kGroupTitles[] = {u"Audio", u"Image", u"Video", u"Data", u"Playlists", u"Other"};

}  // namespace

std::vector<FileTypeRow> BuildFileTypeRows(const CFileTypeCatalogueData& catalogue) {
    std::vector<FileTypeRow> rows;
    TypeSet seen{u"dat", u"mpp"};
    for (int32_t group = 1; group <= 6; ++group) {
        const size_t first = rows.size();
        for (const VnString& description : catalogue.GetList(group, true))
            for (const VnString& extension : CFileTypeCatalogueData::GetDescriptionExtensions(description))
                if (!extension.IsEmpty() && seen.insert(Lower(extension)).second)
                    rows.push_back({group, extension, DisplayText(description)});
        std::sort(rows.begin() + std::ptrdiff_t(first), rows.end(),
                  [](const FileTypeRow& a, const FileTypeRow& b) { return a.extension.Compare(b.extension) < 0; });
    }
    return rows;
}

VnFileAssociationsReportCtrl::VnFileAssociationsReportCtrl() {
    AddColumn(VnDllString(VN_LIT(u"File Type")).Get(), 90);
    AddColumn(VnDllString(VN_LIT(u"Description")).Get());
    AddColumn(VnDllString(VN_LIT(u"Current")).Get(), 120);
    for (int32_t group = 1; group <= 6; ++group) AddGroup(group, VnDllString(kGroupTitles[group - 1]).Get());
}

void VnFileAssociationsReportCtrl::Fill(const std::vector<FileTypeRow>& rows, const VnStringArray& checked) {
    if (!owners_) owners_ = std::make_unique<CFileAssociationHelper>(VnString());
    const TypeSet selected = SetOf(checked);
    const VnString ours = VnDllString(VN_LIT(u"Associated")).Get();
    VnStringArray extensions;
    for (const FileTypeRow& row : rows) extensions.Add(row.extension);
    const std::vector<bool> associated = owners_->AreAssociatedWithUs(extensions);
    DeleteAllItems();
    for (size_t i = 0; i < rows.size(); ++i) {
        const FileTypeRow& row = rows[i];
        const int32_t item = AddItem(row.extension, row.group, selected.count(Lower(row.extension)) > 0);
        SetItemText(item, 1, row.description);
        if (associated[i]) SetItemText(item, 2, ours);
    }
}

void VnFileAssociationsReportCtrl::CheckExactly(const VnStringArray& types) {
    const TypeSet wanted = SetOf(types);
    for (int32_t item = 0; item < GetItemCount(); ++item)
        SetItemChecked(item, wanted.count(Lower(GetItemText(item))) > 0);
}

VnStringArray VnFileAssociationsReportCtrl::GetCheckedTypes() const {
    VnStringArray types;
    for (int32_t item : GetDisplayOrder())
        if (IsItemChecked(item)) types.Add(GetItemText(item));
    return types;
}
