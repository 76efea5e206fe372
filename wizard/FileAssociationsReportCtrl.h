// VnFileAssociationsReportCtrl: the file associations page's list. The
// catalogue's file types in six groups ("Audio", "Image", "Video", "Data",
// "Playlists", "Other"), each group's extensions sorted by name, one row per
// extension with a check box, its description, and whether the product opens
// it now (IsAssociatedWithUs of the registration object the list keeps; it
// sets no flags, so releasing it writes nothing).
#pragma once

#include <memory>
#include <vector>

#include "FileAssociationHelper.h"
#include "FileTypeCatalogueReader.h"
#include "VnReportCtrl.h"

// One row of the list, as the catalogue gives it.
struct FileTypeRow {
    int32_t group;          // 1 Audio ... 6 Other
    VnString extension;     // without dot, lower case
    VnString description;   // the description's text before its extensions
};

// The rows of the catalogue's description lists 1 to 6 (features respected),
// grouped in that order and sorted by extension within a group; an extension
// is listed once (its first group), "dat" and "mpp" never.
std::vector<FileTypeRow> BuildFileTypeRows(const CFileTypeCatalogueData& catalogue);

class VnFileAssociationsReportCtrl : public VnReportCtrl {
public:
    // The columns and groups; rows come with Fill.
    VnFileAssociationsReportCtrl();
    // One row per file type, checked when its extension is in `checked` (any case).
    void Fill(const std::vector<FileTypeRow>& rows, const VnStringArray& checked);
    // Checks exactly the rows whose extensions are in `types` (any case).
    void CheckExactly(const VnStringArray& types);
    // The extensions of the checked rows, in display order.
    VnStringArray GetCheckedTypes() const;

private:
    std::unique_ptr<CFileAssociationHelper> owners_;
};
