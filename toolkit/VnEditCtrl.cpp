#include "VnEditCtrl.h"

#include <algorithm>

#include "VnBackend.h"
#include "VnLayout.h"

bool VnEditCtrl::Create(VnWnd& parent, const VnString& text, const VnRect& rect, uint32_t options, int32_t id) {
    return CreateChild(parent, text, rect, options, id);
}

int32_t VnEditCtrl::GetPreferredHeight(int32_t width) const {
    if (!HasOption(kVnOptMultiLine)) return VnLayout::EditHeight();
    return VnLayout::LineHeight() * 6 + VnLayout::EditHeight() - VnLayout::LineHeight();
}

VnString VnEditCtrl::NormalizeLineEnds(std::u16string_view text) {
    VnString result;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            result += u"\r\n";
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            result += c;
        }
    }
    return result;
}

bool VnFilenameWnd::Create(VnWnd& parent, const VnString& path, const VnRect& rect, int32_t id) {
    if (browseText_.IsEmpty()) browseText_ = VN_LIT(u"Browse...");
    edit_.SetText(path);
    return CreateChild(parent, {}, rect, kVnOptNone, id);
}

void VnFilenameWnd::BuildControls() {
    edit_.Create(*this, edit_.GetText());
    browse_.Create(*this, browseText_);
}

void VnFilenameWnd::Layout() {
    const VnRect area = GetClientRect();
    const int32_t buttonWidth = VnLayout::ButtonWidth(browseText_);
    const int32_t editHeight = VnLayout::EditHeight();
    const int32_t buttonHeight = VnLayout::ButtonHeight();
    edit_.SetRect(VnRect::At(0, (area.Height() - editHeight) / 2, std::max(0, area.Width() - buttonWidth - VnLayout::kSpacing),
                             editHeight));
    browse_.SetRect(VnRect::At(area.Width() - buttonWidth, (area.Height() - buttonHeight) / 2, buttonWidth, buttonHeight));
}

void VnFilenameWnd::SetPath(const VnString& path) { edit_.SetText(path); }

VnString VnFilenameWnd::GetPath() const { return edit_.GetText(); }

void VnFilenameWnd::SetBrowseText(const VnString& label) {
    browseText_ = label;
    browse_.SetText(label);
    if (IsCreated()) Layout();
}

bool VnFilenameWnd::Browse() {
    VnString folder = GetPath();
    if (!IsCreated() || !VnBackend::BrowseForFolder(*this, browseTitle_, folder)) return false;
    SetPath(folder);
    return true;
}

void VnFilenameWnd::OnCommand(VnWnd& control, uint16_t code) {
    if (&control == &browse_ && code == kVnNotifyClicked) {
        Browse();
    } else if (&control == &edit_ && code == kVnNotifyChanged) {
        if (VnWnd* parent = GetParent()) parent->SendMessage(kVnMsgCommand, VnMakeCommandParam(GetId(), kVnNotifyChanged));
    }
}

int32_t VnFilenameWnd::GetPreferredHeight(int32_t width) const {
    return std::max(VnLayout::EditHeight(), VnLayout::ButtonHeight());
}
