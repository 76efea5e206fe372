#include "VnWizardPageWnd.h"

#include "VnButton.h"
#include "VnWizardPopupWnd.h"

VnWizardPageWnd::VnWizardPageWnd() : VnWnd(VnWndKind::Pane) { Show(false); }

VnWizardPageWnd::~VnWizardPageWnd() {
    if (frame_) frame_->ForgetPage(*this);
}

int32_t VnWizardPageWnd::GetPageIndex() const { return frame_ ? frame_->FindPage(this) : -1; }

VnString VnWizardPageWnd::GetBackText() { return VN_LIT(u"< Back"); }

VnString VnWizardPageWnd::GetNextText() {
    const int32_t index = GetPageIndex();
    if (index >= 0 && index + 1 < frame_->GetPageCount()) return VN_LIT(u"Next >");
    return VN_LIT(u"Finish");
}

bool VnWizardPageWnd::CanGoBack() { return GetPageIndex() > 0; }

namespace {
VnWnd* FirstTabStop(VnWnd& parent) {
    for (VnWnd* child : parent.GetChildren()) {
        if (!child->IsVisible() || !child->IsEnabled()) continue;
        if (child->IsTabStop()) {
            // In a radio group the checked choice takes the focus.
            if (child->GetKind() == VnWndKind::Radio) {
                auto& siblings = parent.GetChildren();
                for (size_t i = 0; i < siblings.size(); ++i) {
                    if (siblings[i] != child) continue;
                    for (size_t j = i; j < siblings.size() && (j == i || !siblings[j]->StartsGroup()); ++j)
                        if (siblings[j]->GetKind() == VnWndKind::Radio && siblings[j]->IsEnabled() &&
                            static_cast<VnRadioButton*>(siblings[j])->IsChecked())
                            return siblings[j];
                }
            }
            return child;
        }
        if (child->GetKind() == VnWndKind::Pane)
            if (VnWnd* inner = FirstTabStop(*child)) return inner;
    }
    return nullptr;
}
}  // namespace

VnWnd* VnWizardPageWnd::GetDefaultControl() { return FirstTabStop(*this); }

bool VnWizardPageWnd::CreatePage(VnWnd& host) { return CreateChild(host, {}, host.GetClientRect()); }
