// Edit boxes and the path box (an edit box with a browse button for folders).
#pragma once

#include "VnButton.h"
#include "VnWnd.h"

// Options: kVnOptReadOnly, kVnOptMultiLine (scrolls vertically; line ends
// are shown as "\r\n", a lone "\n" or "\r" is turned into one).
class VnEditCtrl : public VnWnd {
public:
    VnEditCtrl() : VnWnd(VnWndKind::Edit) {}
    bool Create(VnWnd& parent, const VnString& text, const VnRect& rect = {}, uint32_t options = kVnOptNone,
                int32_t id = 0);
    int32_t GetPreferredHeight(int32_t width) const override;
    // Text with every line end made "\r\n".
    static VnString NormalizeLineEnds(std::u16string_view text);
};

// A folder path: a one-line edit box and a browse button beside it. The
// browse button asks for a folder (Windows: the folder picker; headless:
// the next answer queued with VnHeadlessUi); a chosen folder replaces the
// text. Its parent is told of every change with kVnNotifyChanged.
class VnFilenameWnd : public VnWnd {
public:
    VnFilenameWnd() : VnWnd(VnWndKind::Pane) {}
    bool Create(VnWnd& parent, const VnString& path, const VnRect& rect = {}, int32_t id = 0);
    void SetPath(const VnString& path);
    VnString GetPath() const;
    // The browse button's label ("Browse..." unless set) and the picker's title.
    void SetBrowseText(const VnString& label);
    void SetBrowseTitle(const VnString& title) { browseTitle_ = title; }
    // Opens the folder picker as the browse button does; true when a folder was chosen.
    bool Browse();
    VnEditCtrl& GetEdit() { return edit_; }
    VnButton& GetBrowseButton() { return browse_; }
    int32_t GetPreferredHeight(int32_t width) const override;

protected:
    void BuildControls() override;
    void Layout() override;
    void OnCommand(VnWnd& control, uint16_t code) override;

private:
    VnEditCtrl edit_;
    VnButton browse_;
    VnString browseText_;
    VnString browseTitle_;
};
