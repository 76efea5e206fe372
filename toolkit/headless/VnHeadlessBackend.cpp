// The headless implementation: windows are models only. State lives in the
// VnWnd objects, time in VnHeadlessUi's virtual clock, and user actions
// become the notifications Windows would send.
#include <algorithm>

#include "VnArray.h"
#include "VnBackend.h"
#include "VnButton.h"
#include "VnHeadlessUi.h"
#include "VnPopupWnd.h"
#include "VnStatic.h"

namespace {
uintptr_t g_nextHandle = 0x1000;

void NotifyParent(VnWnd& wnd, uint16_t code) {
    if (VnWnd* parent = wnd.GetParent()) parent->SendMessage(kVnMsgCommand, VnMakeCommandParam(wnd.GetId(), code), 0);
}
}  // namespace

bool VnBackend::Initialize() { return true; }
void VnBackend::Shutdown() {}
uint64_t VnBackend::TickCount() { return VnHeadlessUi::Get().Now(); }

bool VnBackend::Pump() {
    VnHeadlessUi::Get().DeliverPending();
    return true;
}

int32_t VnBackend::Dpi() { return 96; }

bool VnBackend::CreateNative(VnWnd& wnd) {
    g_nextHandle += 0x10;
    wnd.native_ = reinterpret_cast<void*>(g_nextHandle);
    return true;
}

void VnBackend::DestroyNative(VnWnd& wnd) {
    // The window and all its children go, with their timers and messages.
    VnHeadlessUi::Get().Forget(wnd);
    for (VnWnd* child : wnd.GetChildren()) DestroyNative(*child);
}

void VnBackend::ApplyText(VnWnd& wnd) {
    // Windows reports a new text of a one-line edit box to its parent.
    if (wnd.GetKind() == VnWndKind::Edit && !wnd.HasOption(kVnOptMultiLine)) NotifyParent(wnd, kVnNotifyChanged);
}

bool VnBackend::ReadText(const VnWnd&, VnString&) { return false; }
void VnBackend::ApplyEnabled(VnWnd& wnd) {
    if (!wnd.IsEnabled() && VnHeadlessUi::Get().focus_ == &wnd) VnHeadlessUi::Get().focus_ = nullptr;
}
void VnBackend::ApplyVisible(VnWnd&) {}
void VnBackend::ApplyRect(VnWnd&) {}
void VnBackend::ApplyFont(VnWnd&) {}
void VnBackend::ApplyChecked(VnWnd&) {}
bool VnBackend::ReadChecked(const VnWnd&, bool&) { return false; }

void VnBackend::SetFocus(VnWnd& wnd) { VnHeadlessUi::Get().focus_ = &wnd; }
bool VnBackend::HasFocus(const VnWnd& wnd) { return VnHeadlessUi::Get().focus_ == &wnd; }
void VnBackend::SetRedraw(VnWnd&, bool) {}

bool VnBackend::SetTimer(VnWnd& wnd, uint32_t id, uint32_t milliseconds) {
    VnHeadlessUi::Get().SetTimer(wnd, id, milliseconds);
    return true;
}

bool VnBackend::KillTimer(VnWnd& wnd, uint32_t id) { return VnHeadlessUi::Get().KillTimer(wnd, id); }

bool VnBackend::PostMessage(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    VnHeadlessUi::Get().posted_.push_back({&wnd, msg, wParam, lParam});
    return true;
}

intptr_t VnBackend::SendMessage(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return wnd.WindowProc(msg, wParam, lParam);
}

intptr_t VnBackend::DefaultProc(VnWnd&, uint32_t, uintptr_t, intptr_t) { return 0; }

bool VnBackend::Click(VnWnd& wnd) {
    // What a click on an automatic check box or radio button does before the
    // parent hears of it.
    if (wnd.GetKind() == VnWndKind::Checkbox) {
        wnd.checked_ = !wnd.checked_;
    } else if (wnd.GetKind() == VnWndKind::Radio) {
        wnd.checked_ = true;
        static_cast<VnRadioButton&>(wnd).ClearGroupSiblings();
    }
    VnHeadlessUi::Get().focus_ = &wnd;
    NotifyParent(wnd, kVnNotifyClicked);
    return true;
}

void VnBackend::FitPopup(VnPopupWnd&) {}
void VnBackend::RunModal(VnPopupWnd& popup) { VnHeadlessUi::Get().RunModal(popup); }
void VnBackend::WakeModal(VnPopupWnd&) {}
bool VnBackend::SetPopupIcon(VnPopupWnd&, const VnString& path) {
    auto& reader = VnHeadlessUi::Get().imageReader_;
    return !reader || reader(path);
}
void VnBackend::ApplyDefaultButton(VnPopupWnd&, VnWnd*) {}

int32_t VnBackend::LineHeight(bool) { return VnHeadlessUi::kLineHeight; }

int32_t VnBackend::TextWidth(std::u16string_view text, bool bold) {
    return int32_t(text.size()) * (bold ? VnHeadlessUi::kBoldCharWidth : VnHeadlessUi::kCharWidth);
}

int32_t VnBackend::TextHeight(std::u16string_view text, int32_t width, bool bold) {
    // Greedy word wrap in a font whose characters all have the same width.
    const int32_t perLine = std::max(1, width / (bold ? VnHeadlessUi::kBoldCharWidth : VnHeadlessUi::kCharWidth));
    int32_t lines = 0;
    VnString normalized(text);
    normalized.Replace(u"\r\n", u"\n");
    for (const VnString& paragraph : VnStringArray::Split(normalized, u"\n")) {
        int32_t used = 0;
        lines += 1;
        for (const VnString& word : VnStringArray::Split(paragraph, u" ")) {
            int32_t length = word.GetLength();
            const int32_t needed = used == 0 ? length : used + 1 + length;
            if (needed <= perLine) {
                used = needed;
                continue;
            }
            if (used > 0) ++lines;
            while (length > perLine) {  // a word longer than a line is cut
                length -= perLine;
                ++lines;
            }
            used = length;
        }
    }
    return lines * VnHeadlessUi::kLineHeight;
}

void VnBackend::ApplyProgress(VnProgressCtrl&) {}
void VnBackend::RebuildReport(VnReportCtrl&) {}
void VnBackend::ApplyReportItem(VnReportCtrl&, int32_t) {}
bool VnBackend::ReadReportChecked(const VnReportCtrl&, int32_t, bool&) { return false; }

bool VnBackend::LoadImage(VnImageCtrl&, const VnString& path) {
    auto& reader = VnHeadlessUi::Get().imageReader_;
    return !reader || reader(path);
}

bool VnBackend::BrowseForFolder(VnWnd&, const VnString&, VnString& folder) {
    VnHeadlessUi& ui = VnHeadlessUi::Get();
    ++ui.browseCount_;
    if (ui.browseAnswers_.empty()) return false;
    const auto answer = ui.browseAnswers_.front();
    ui.browseAnswers_.pop_front();
    if (answer.chosen) folder = answer.folder;
    return answer.chosen;
}
