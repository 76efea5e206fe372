// The header band at the top of a wizard: a white strip with a title, a
// subtitle and an icon on the right.
//
// Its content is simple markup: lines separated by "\r\n"; "<b>" and "</b>"
// make a line bold; leading "\t" characters indent it. The first line is the
// title, the rest the subtitle; "<b>Title</b>\r\n\tSubtitle" is the usual form.
#pragma once

#include "VnStatic.h"
#include "VnWnd.h"

class VnDialogHeaderCtrl : public VnWnd {
public:
    VnDialogHeaderCtrl() : VnWnd(VnWndKind::Pane) {}
    bool Create(VnWnd& parent, const VnRect& rect = {}, int32_t id = 0);
    void SetMarkup(const VnString& markup);
    const VnString& GetMarkup() const { return markup_; }
    // The title and subtitle as shown (markup removed).
    const VnString& GetTitle() const { return title_.text; }
    const VnString& GetSubtitle() const { return subtitle_.text; }
    bool IsTitleBold() const { return title_.bold; }
    bool SetIconFile(const VnString& path);
    const VnString& GetIconFile() const { return iconFile_; }
    // Room for the title and two lines of subtitle.
    int32_t GetPreferredHeight(int32_t width) const override;

    struct Line {
        VnString text;
        bool bold = false;
        int32_t indent = 0;  // number of leading tabs
    };
    // Splits markup into lines (exposed for tests).
    static std::vector<Line> ParseMarkup(std::u16string_view markup);

protected:
    void BuildControls() override;
    void Layout() override;

private:
    void ShowLines();
    VnString markup_;
    Line title_;
    Line subtitle_;
    VnString iconFile_;
    VnStatic titleCtrl_;
    VnStatic subtitleCtrl_;
    VnImageCtrl icon_;
};
