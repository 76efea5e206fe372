#include "VnWnd.h"

#include <algorithm>

#include "VnBackend.h"
#include "VnEditCtrl.h"
#include "VnLayout.h"
#include "VnPopupWnd.h"

VnWnd::VnWnd(VnWndKind kind) : kind_(kind) {}

VnWnd::~VnWnd() {
    Destroy();
    for (VnWnd* child : children_) child->parent_ = nullptr;
    Detach();
}

void VnWnd::AttachTo(VnWnd& parent) {
    parent_ = &parent;
    parent.children_.push_back(this);
}

void VnWnd::Detach() {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
}

VnWnd* VnWnd::FindChildById(int32_t id) const {
    for (VnWnd* child : children_)
        if (child->id_ == id) return child;
    return nullptr;
}

VnPopupWnd* VnWnd::GetPopup() {
    for (VnWnd* w = this; w; w = w->parent_)
        if (w->kind_ == VnWndKind::Popup) return static_cast<VnPopupWnd*>(w);
    return nullptr;
}

bool VnWnd::CreateChild(VnWnd& parent, const VnString& text, const VnRect& rect, uint32_t options, int32_t id) {
    if (native_ || !parent.native_ || &parent == this) return false;
    if (parent_ != &parent) {
        Detach();
        AttachTo(parent);
    }
    options_ = options;
    AssignText(text);
    rect_ = rect;
    id_ = id != 0 ? id : parent.nextChildId_++;
    if (!VnBackend::CreateNative(*this)) return false;
    FinishCreation();
    return true;
}

void VnWnd::FinishCreation() {
    BuildControls();
    Layout();
}

void VnWnd::Destroy() {
    if (!native_) return;
    VnBackend::DestroyNative(*this);
    ForgetNative();
}

void VnWnd::ForgetNative() {
    for (VnWnd* child : children_) child->ForgetNative();
    if (!native_) return;
    native_ = nullptr;
    OnDestroyed();
}

void VnWnd::AssignText(const VnString& text) {
    text_ = kind_ == VnWndKind::Edit && HasOption(kVnOptMultiLine) ? VnEditCtrl::NormalizeLineEnds(text) : text;
}

void VnWnd::SetText(const VnString& text) {
    AssignText(text);
    if (native_) VnBackend::ApplyText(*this);
}

VnString VnWnd::GetText() const {
    VnString current;
    if (native_ && VnBackend::ReadText(*this, current)) return current;
    return text_;
}

VnString VnWnd::GetDisplayText() const {
    // Static texts show "&" as written unless they carry a mnemonic.
    if ((kind_ == VnWndKind::Static && !HasOption(kVnOptMnemonic)) || kind_ == VnWndKind::Edit) return GetText();
    return StripMnemonic(GetText());
}

VnString VnWnd::StripMnemonic(std::u16string_view text) {
    VnString shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            shown += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            shown += u'&';  // "&&" shows one "&"
            ++i;
        }  // a single "&" only marks the character after it
    }
    return shown;
}

void VnWnd::Enable(bool enable) {
    enabled_ = enable;
    if (native_) VnBackend::ApplyEnabled(*this);
}

bool VnWnd::IsEnabled() const { return enabled_; }

void VnWnd::Show(bool show) {
    visible_ = show;
    if (native_) VnBackend::ApplyVisible(*this);
}

bool VnWnd::IsVisibleOnScreen() const {
    for (const VnWnd* w = this; w; w = w->parent_)
        if (!w->visible_ || !w->native_) return false;
    return true;
}

void VnWnd::SetRect(const VnRect& rect) {
    const bool resized = rect.Width() != rect_.Width() || rect.Height() != rect_.Height();
    rect_ = rect;
    if (!native_) return;
    VnBackend::ApplyRect(*this);
    if (resized) Layout();
}

void VnWnd::SetFocus() {
    if (native_) VnBackend::SetFocus(*this);
}

bool VnWnd::HasFocus() const { return native_ && VnBackend::HasFocus(*this); }

void VnWnd::SetRedraw(bool redraw) {
    if (native_) VnBackend::SetRedraw(*this, redraw);
}

bool VnWnd::SetTimer(uint32_t id, uint32_t milliseconds) {
    return native_ && VnBackend::SetTimer(*this, id, milliseconds);
}

bool VnWnd::KillTimer(uint32_t id) { return native_ && VnBackend::KillTimer(*this, id); }

bool VnWnd::PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return native_ && VnBackend::PostMessage(*this, msg, wParam, lParam);
}

intptr_t VnWnd::SendMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (!native_) return WindowProc(msg, wParam, lParam);
    return VnBackend::SendMessage(*this, msg, wParam, lParam);
}

intptr_t VnWnd::WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return DefaultWindowProc(msg, wParam, lParam);
}

intptr_t VnWnd::DefaultWindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case kVnMsgTimer:
        OnTimer(uint32_t(wParam));
        return 0;
    case kVnMsgCommand:
        if (VnWnd* child = FindChildById(VnCommandId(wParam))) {
            const uint16_t code = VnCommandCode(wParam);
            child->OnNotify(code);
            OnCommand(*child, code);
            return 0;
        }
        break;
    default:
        break;
    }
    return native_ ? VnBackend::DefaultProc(*this, msg, wParam, lParam) : 0;
}

int32_t VnWnd::GetPreferredHeight(int32_t width) const { return VnLayout::LineHeight(); }

bool VnWnd::IsTabStop() const {
    switch (kind_) {
    case VnWndKind::Button:
    case VnWndKind::Checkbox:
    case VnWndKind::Edit:
    case VnWndKind::Report:
        return true;
    default:
        return HasOption(kVnOptTabStop);
    }
}

bool VnWnd::StartsGroup() const {
    return HasOption(kVnOptGroupStart) || (kind_ != VnWndKind::Radio && IsTabStop());
}
