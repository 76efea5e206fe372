#include "VnButton.h"

#include <algorithm>

#include "VnBackend.h"
#include "VnLayout.h"

bool VnButton::Create(VnWnd& parent, const VnString& label, const VnRect& rect, uint32_t options, int32_t id) {
    return CreateChild(parent, label, rect, options, id);
}

bool VnButton::Click() {
    if (!IsCreated() || !IsEnabled() || !IsVisibleOnScreen()) return false;
    return VnBackend::Click(*this);
}

int32_t VnButton::GetPreferredHeight(int32_t width) const { return VnLayout::ButtonHeight(); }

int32_t VnButton::GetPreferredWidth() const { return VnLayout::ButtonWidth(GetText()); }

bool VnCheckbox::Create(VnWnd& parent, const VnString& label, bool checked, const VnRect& rect, uint32_t options,
                        int32_t id) {
    checked_ = checked;
    return CreateChild(parent, label, rect, options, id);
}

void VnCheckbox::SetCheck(bool checked) {
    checked_ = checked;
    if (IsCreated()) VnBackend::ApplyChecked(*this);
}

bool VnCheckbox::IsChecked() const {
    bool checked = checked_;
    if (IsCreated() && VnBackend::ReadChecked(*this, checked)) return checked;
    return checked_;
}

int32_t VnCheckbox::GetPreferredHeight(int32_t width) const {
    // The box sits beside the first line; a long label wraps under itself.
    const int32_t textHeight = VnLayout::TextHeight(StripMnemonic(GetText()), width - VnLayout::kIndent);
    return std::max(VnLayout::CheckHeight(), textHeight + VnLayout::CheckHeight() - VnLayout::LineHeight());
}

void VnRadioButton::ClearGroupSiblings() {
    VnWnd* parent = GetParent();
    if (!parent) return;
    const auto& siblings = parent->GetChildren();
    auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end()) return;
    auto first = self;
    while (first != siblings.begin() && !(*first)->StartsGroup()) --first;
    for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && (*it)->StartsGroup()) break;
        if (*it != this && (*it)->GetKind() == VnWndKind::Radio) static_cast<VnRadioButton*>(*it)->SetCheck(false);
    }
}
