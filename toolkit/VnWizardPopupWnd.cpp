#include "VnWizardPopupWnd.h"

#include <algorithm>

#include "VnLayout.h"

namespace {
constexpr int32_t kPageMarginX = 20;    // left and right of the page area
constexpr int32_t kPageMarginY = 12;    // above and below it
constexpr int32_t kLineHeight = 2;      // the etched lines

// Suspends a window's redrawing while it lives.
class RedrawSuspension {
public:
    explicit RedrawSuspension(VnWnd& wnd) : wnd_(wnd) { wnd_.SetRedraw(false); }
    ~RedrawSuspension() { wnd_.SetRedraw(true); }

private:
    VnWnd& wnd_;
};
}  // namespace

VnWizardPopupWnd::VnWizardPopupWnd() = default;

VnWizardPopupWnd::~VnWizardPopupWnd() {
    // Pages still listed outlive the frame.
    ReleasePages();
}

void VnWizardPopupWnd::ReleasePages() {
    for (VnWizardPageInfo* info : pages_) info->page->frame_ = nullptr;
    pages_.RemoveAll();
    current_ = -1;
}

void VnWizardPopupWnd::ForgetPage(const VnWizardPageWnd& page) {
    const int32_t index = FindPage(&page);
    if (index < 0) return;
    pages_.RemoveAt(index);
    if (index < current_) --current_;
    else if (index == current_) current_ = -1;
}

int32_t VnWizardPopupWnd::AddPage(VnWizardPageWnd& page, bool flag) {
    page.frame_ = this;
    return pages_.Add(new VnWizardPageInfo{&page, flag});
}

VnWizardPageWnd* VnWizardPopupWnd::GetPage(int32_t index) const {
    return pages_.IsValidIndex(index) ? pages_[index]->page : nullptr;
}

const VnWizardPageInfo* VnWizardPopupWnd::GetPageInfo(int32_t index) const {
    return pages_.IsValidIndex(index) ? pages_[index] : nullptr;
}

int32_t VnWizardPopupWnd::FindPage(const VnWizardPageWnd* page) const {
    for (int32_t i = 0; i < pages_.GetSize(); ++i)
        if (pages_[i]->page == page) return i;
    return -1;
}

void VnWizardPopupWnd::BuildControls() {
    header_.Create(*this);
    topLine_.Create(*this);
    host_.Create(*this);
    bottomLine_.Create(*this);
    back_.Create(*this, VN_LIT(u"< Back"), {}, kVnOptNone, kBackId);
    next_.Create(*this, VN_LIT(u"Next >"), {}, kVnOptDefaultButton, kNextId);
    cancel_.Create(*this, VN_LIT(u"Cancel"), {}, kVnOptNone, kCancelId);
    SetDefaultButton(&next_);
    if (!GetIconFile().IsEmpty()) header_.SetIconFile(GetIconFile());

    const int32_t width = kPageWidth + 2 * kPageMarginX;
    const int32_t height = header_.GetPreferredHeight(width) + kLineHeight + kPageMarginY + kPageHeight + kPageMarginY +
                           kLineHeight + VnLayout::kMargin + VnLayout::ButtonHeight() + VnLayout::kMargin;
    SetClientSize(width, height);
}

void VnWizardPopupWnd::Layout() {
    const VnRect area = GetClientRect();
    const int32_t headerHeight = header_.GetPreferredHeight(area.Width());
    header_.SetRect(VnRect{0, 0, area.right, headerHeight});
    topLine_.SetRect(VnRect{0, headerHeight, area.right, headerHeight + kLineHeight});
    const VnRect page = VnRect::At(kPageMarginX, headerHeight + kLineHeight + kPageMarginY, kPageWidth, kPageHeight);
    host_.SetRect(page);
    const int32_t lineTop = page.bottom + kPageMarginY;
    bottomLine_.SetRect(VnRect{VnLayout::kMargin, lineTop, area.right - VnLayout::kMargin, lineTop + kLineHeight});

    // Cancel at the right, Next and Back side by side before it.
    const int32_t buttonTop = lineTop + kLineHeight + VnLayout::kMargin;
    const int32_t buttonHeight = VnLayout::ButtonHeight();
    int32_t right = area.right - VnLayout::kMargin;
    for (VnButton* button : {&cancel_, &next_, &back_}) {
        const int32_t width = std::max(button->GetPreferredWidth(), VnLayout::kMinButtonWidth);
        button->SetRect(VnRect::At(right - width, buttonTop, width, buttonHeight));
        right -= width + (button == &cancel_ ? VnLayout::kSpacing : 0);
    }
}

bool VnWizardPopupWnd::SetIconFile(const VnString& path) {
    const bool ok = VnPopupWnd::SetIconFile(path);
    if (header_.IsCreated()) header_.SetIconFile(path);
    return ok;
}

// Redrawing is held only while the frame itself swaps pages and sets its
// buttons and header, not while page code runs: a page may show a message
// box, and a frame that does not paint behind it would smear.
bool VnWizardPopupWnd::SetActivePage(int32_t target, bool setFocus) {
    if (target < 0 || target == current_) return false;

    const bool forward = target > current_;
    int32_t start = current_;
    if (VnWizardPageWnd* page = GetCurrentPage()) {
        if (!(forward ? page->OnLeaveForward() : page->OnLeaveBackward())) return false;
        page->Show(false);
        page->OnDeactivate();
        if (page->RemoveAfterLeaving()) {
            pages_.RemoveAt(current_);
            if (forward) --target;
            start = std::min(start, pages_.GetSize() - 1);
        }
    }

    const int32_t direction = forward ? 1 : -1;
    for (current_ = target; pages_.IsValidIndex(current_) && !AsksToBeShown(current_); current_ += direction) {
    }
    if (!pages_.IsValidIndex(current_)) {
        Finish();
        if (result_ != kResultRunning) return true;
        current_ = start;
        if (VnWizardPageWnd* page = GetCurrentPage()) page->Show(true);
        return false;
    }

    RedrawSuspension suspension(*this);
    GetCurrentPage()->Show(true);
    stopwatch_.Restart();
    if (IsCreated()) {
        UpdateFrame();
        if (setFocus) {
            VnWnd* focus = GetCurrentPage()->GetDefaultControl();
            for (VnWnd* fallback : {static_cast<VnWnd*>(&next_), static_cast<VnWnd*>(&cancel_), static_cast<VnWnd*>(&back_)})
                if (!focus && fallback->IsEnabled()) focus = fallback;
            (focus ? focus : static_cast<VnWnd*>(this))->SetFocus();
        }
    }
    return true;
}

bool VnWizardPopupWnd::AsksToBeShown(int32_t index) {
    VnWizardPageWnd* page = pages_[index]->page;
    if (!page->IsCreated() && host_.IsCreated()) page->CreatePage(host_);
    return page->IsShown();
}

void VnWizardPopupWnd::UpdateFrame() {
    VnWizardPageWnd* page = GetCurrentPage();
    if (!page) return;
    back_.SetText(page->GetBackText());
    back_.Enable(page->CanGoBack());
    next_.SetText(page->GetNextText());
    next_.Enable(page->CanGoNext());
    cancel_.Enable(page->CanCancel());
    const VnString caption = page->GetCaption();
    if (!caption.IsEmpty()) SetText(caption);
    header_.SetMarkup(u"<b>" + page->GetTitle() + u"</b>\r\n\t" + page->GetSubtitle());
    if (IsCreated()) Layout();
}

void VnWizardPopupWnd::OnBack(bool guarded) {
    if (guarded && !stopwatch_.HasElapsed(kClickGuardMs)) return;
    VnWizardPageWnd* page = GetCurrentPage();
    if (page && page->CanGoBack()) SetActivePage(current_ - 1, true);
}

void VnWizardPopupWnd::OnNext(bool guarded) {
    if (guarded && !stopwatch_.HasElapsed(kClickGuardMs)) return;
    VnWizardPageWnd* page = GetCurrentPage();
    if (page && page->CanGoNext()) SetActivePage(current_ + 1, true);
}

void VnWizardPopupWnd::OnCommand(VnWnd& control, uint16_t code) {
    if (code != kVnNotifyClicked) return;
    if (&control == &back_) OnBack(true);
    else if (&control == &next_) OnNext(true);
    else if (&control == &cancel_ && cancel_.IsEnabled()) Cancel();
}

void VnWizardPopupWnd::OnCloseRequest() {
    if (!GetCurrentPage() || cancel_.IsEnabled()) Cancel();
}

void VnWizardPopupWnd::Finish() { Close(kResultFinished); }

void VnWizardPopupWnd::Cancel() {
    if (VnWizardPageWnd* page = GetCurrentPage()) {
        page->OnCancel();
        page->OnDeactivate();
    }
    Close(kResultCancelled);
}

void VnWizardPopupWnd::Close(int32_t result) {
    result_ = result;
    EndModal(result);
}

intptr_t VnWizardPopupWnd::DefaultWindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case kGoBackCommand:
        OnBack(false);
        return 0;
    case kGoNextCommand:
        OnNext(false);
        return 0;
    case kEndWizardCommand:
        Close(int32_t(wParam));
        return 0;
    default:
        return VnPopupWnd::DefaultWindowProc(msg, wParam, lParam);
    }
}
