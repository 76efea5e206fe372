#include "VnHeadlessUi.h"

#include <algorithm>

#include "VnPopupWnd.h"
#include "VnWnd.h"

VnHeadlessUi& VnHeadlessUi::Get() {
    static VnHeadlessUi ui;
    return ui;
}

void VnHeadlessUi::Reset() {
    now_ = 0;
    timerOrder_ = 0;
    timers_.clear();
    posted_.clear();
    browseAnswers_.clear();
    browseCount_ = 0;
    imageReader_ = nullptr;
    script_ = nullptr;
    userDelay_ = 500;
    idleLimit_ = 600000;
    stalled_ = false;
}

int32_t VnHeadlessUi::DeliverPosted() {
    int32_t delivered = 0;
    while (!posted_.empty()) {
        const Posted message = posted_.front();
        posted_.pop_front();
        message.wnd->SendMessage(message.msg, message.wParam, message.lParam);
        ++delivered;
    }
    return delivered;
}

VnHeadlessUi::Timer* VnHeadlessUi::NextDue(uint64_t limit) {
    Timer* next = nullptr;
    for (Timer& timer : timers_) {
        if (timer.due > limit) continue;
        if (!next || timer.due < next->due || (timer.due == next->due && timer.order < next->order)) next = &timer;
    }
    return next;
}

void VnHeadlessUi::Fire(Timer& timer) {
    now_ = std::max(now_, timer.due);
    timer.due = now_ + timer.period;
    VnWnd* wnd = timer.wnd;
    const uint32_t id = timer.id;  // the handler may kill or reset the timer
    wnd->SendMessage(kVnMsgTimer, id, 0);
}

int32_t VnHeadlessUi::DeliverPending() {
    int32_t delivered = DeliverPosted();
    while (Timer* timer = NextDue(now_)) {
        Fire(*timer);
        delivered += 1 + DeliverPosted();
    }
    return delivered;
}

void VnHeadlessUi::Advance(uint64_t ms) {
    const uint64_t target = now_ + ms;
    DeliverPosted();
    while (Timer* timer = NextDue(target)) {
        Fire(*timer);
        DeliverPosted();
    }
    now_ = std::max(now_, target);
    DeliverPosted();
}

bool VnHeadlessUi::RunNextTimer(uint64_t withinMs) {
    const uint64_t limit = withinMs > UINT64_MAX - now_ ? UINT64_MAX : now_ + withinMs;
    Timer* timer = NextDue(limit);
    if (!timer) return false;
    Fire(*timer);
    DeliverPosted();
    return true;
}

bool VnHeadlessUi::HasTimer(const VnWnd& wnd, uint32_t id) const { return GetTimeUntil(wnd, id) >= 0; }

int64_t VnHeadlessUi::GetTimeUntil(const VnWnd& wnd, uint32_t id) const {
    for (const Timer& timer : timers_)
        if (timer.wnd == &wnd && timer.id == id) return int64_t(timer.due > now_ ? timer.due - now_ : 0);
    return -1;
}

void VnHeadlessUi::SetTimer(VnWnd& wnd, uint32_t id, uint32_t period) {
    period = std::max(period, kMinimumTimerPeriod);
    KillTimer(wnd, id);
    timers_.push_back({&wnd, id, period, now_ + period, ++timerOrder_});
}

bool VnHeadlessUi::KillTimer(const VnWnd& wnd, uint32_t id) {
    const auto end = std::remove_if(timers_.begin(), timers_.end(),
                                    [&](const Timer& timer) { return timer.wnd == &wnd && timer.id == id; });
    const bool found = end != timers_.end();
    timers_.erase(end, timers_.end());
    return found;
}

void VnHeadlessUi::Forget(const VnWnd& wnd) {
    std::erase_if(timers_, [&](const Timer& timer) { return timer.wnd == &wnd; });
    std::erase_if(posted_, [&](const Posted& message) { return message.wnd == &wnd; });
    if (focus_ == &wnd) focus_ = nullptr;
}

void VnHeadlessUi::RunModal(VnPopupWnd& popup) {
    stalled_ = false;
    bool scriptDone = !script_;
    uint64_t idleSince = now_;
    while (!popup.IsEnded()) {
        if (DeliverPending() > 0) continue;
        if (!scriptDone) {
            Advance(userDelay_);
            if (popup.IsEnded()) break;
            if (script_(popup)) {
                idleSince = now_;
                continue;
            }
            scriptDone = true;
            idleSince = now_;
        }
        const uint64_t waited = now_ - idleSince;
        if (waited < idleLimit_ && RunNextTimer(idleLimit_ - waited)) continue;
        stalled_ = true;
        break;
    }
}
