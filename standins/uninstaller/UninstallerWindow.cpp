#include "UninstallerWindow.h"

#include "VnLayout.h"

namespace {
constexpr int32_t kWidth = 420, kHeight = 280;
constexpr uint32_t kMsgStartWork = kVnMsgApp + 1;
}  // namespace

UninstallerWindow::UninstallerWindow(const VnString& productName, const VnString& question, Work work,
                                     std::function<VnString(const UninstallOutcome&)> summary)
    : productName_(productName), question_(question), work_(std::move(work)), summary_(std::move(summary)) {
    SetText(productName_ + u" Uninstall");
    SetClientSize(kWidth, kHeight);
}

bool UninstallerWindow::Run(UninstallOutcome& outcome) {
    DoModal();
    if (!worked_) return false;
    outcome = std::move(outcome_);
    return true;
}

void UninstallerWindow::BuildControls() {
    heading_.Create(*this, VnString(), {}, kVnOptBold);
    text_.Create(*this, VnString());
    progress_.Create(*this);
    summaryBox_.Create(*this, VnString(), {}, kVnOptReadOnly | kVnOptMultiLine);
    uninstall_.Create(*this, kUninstallLabel, {}, kVnOptDefaultButton);
    cancel_.Create(*this, kCancelLabel, {}, kVnOptNone, kVnIdCancel);
    close_.Create(*this, kCloseLabel);
    Enter(state_);
}

void UninstallerWindow::Layout() {
    const VnRect area = GetClientRect().Deflated(VnLayout::kMargin, VnLayout::kMargin);
    const int32_t buttonHeight = VnLayout::ButtonHeight();
    const int32_t buttonTop = area.bottom - buttonHeight;
    int32_t right = area.right;
    for (VnButton* button : {&close_, &cancel_, &uninstall_}) {
        if (!button->IsVisible()) continue;
        const int32_t width = button->GetPreferredWidth();
        button->SetRect(VnRect::At(right - width, buttonTop, width, buttonHeight));
        right -= width + VnLayout::kSpacing;
    }
    VnColumn column(VnRect{area.left, area.top, area.right, buttonTop - VnLayout::kParagraph});
    column.Place(heading_);
    if (text_.IsVisible()) {
        column.Skip(VnLayout::kParagraph);
        column.Place(text_);
    }
    if (progress_.IsVisible()) {
        column.Skip(text_.IsVisible() ? VnLayout::kSpacing : VnLayout::kParagraph);
        column.Place(progress_);
    }
    if (summaryBox_.IsVisible()) {
        column.Skip(VnLayout::kParagraph);
        column.Fill(summaryBox_);
    }
}

void UninstallerWindow::Enter(State state) {
    state_ = state;
    if (!IsCreated()) return;
    const bool question = state == State::Question, done = state == State::Done;
    const bool failed = done && !outcome_.failure.IsEmpty();
    heading_.SetText(question   ? VnString::Format(u"Remove %s", productName_)
                     : !done    ? VnString::Format(u"Removing %s", productName_)
                     : failed   ? VnString::Format(u"%s was not removed", productName_)
                                : VnString::Format(u"%s was removed", productName_));
    if (question) text_.SetText(question_);
    if (done) text_.SetText(failed ? outcome_.failure + u" Nothing was removed." : VnString());
    text_.Show(!done || failed);
    progress_.Show(!question && !failed);
    summaryBox_.Show(done && !failed);
    if (done && !failed) summaryBox_.SetText(summary_(outcome_));
    uninstall_.Show(question);
    cancel_.Show(!done);
    cancel_.Enable(question);
    close_.Show(done);
    SetDefaultButton(question ? &uninstall_ : done ? &close_ : nullptr);
    Layout();
    if (question) uninstall_.SetFocus();
    if (done) close_.SetFocus();
}

void UninstallerWindow::OnCommand(VnWnd& control, uint16_t code) {
    if (code != kVnNotifyClicked) return;
    if (&control == &uninstall_ && state_ == State::Question) {
        Enter(State::Working);
        PostMessage(kMsgStartWork);
    } else if (&control == &cancel_ && state_ == State::Question) {
        EndModal(kVnIdCancel);
    } else if (&control == &close_ && state_ == State::Done) {
        EndModal(kVnIdOk);
    }
}

intptr_t UninstallerWindow::WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (msg != kMsgStartWork) return VnPopupWnd::WindowProc(msg, wParam, lParam);
    DoWork();
    return 0;
}

// Closing the window is cancelling before the work and closing after it;
// while the work runs it cannot be stopped half-way.
void UninstallerWindow::OnCloseRequest() {
    if (state_ == State::Question) EndModal(kVnIdCancel);
    else if (state_ == State::Done) EndModal(kVnIdOk);
}

void UninstallerWindow::DoWork() {
    if (state_ != State::Working || worked_) return;
    worked_ = true;
    outcome_ = work_([this](int done, int total, const VnString& step) {
        progress_.SetRange(0, total);
        progress_.SetPos(done);
        text_.SetText(step);
        VnToolkit::PumpMessages();
    });
    progress_.Fill();
    Enter(State::Done);
}
