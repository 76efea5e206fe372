// VnHeadlessUi: the controls of the headless toolkit that have no Windows
// counterpart: the virtual clock that drives timers, the answers of the
// folder picker, which picture files count as readable, and the script that
// acts for the user while a popup runs modally.
//
// Time passes only when asked to: Advance(ms) moves the clock on and
// delivers, in order, the posted messages and each timer as it falls due
// (timers due at the same moment in the order they were set). Periods below
// 10 ms count as 10 ms, as on Windows.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "VnString.h"

class VnWnd;
class VnPopupWnd;

class VnHeadlessUi {
public:
    static VnHeadlessUi& Get();

    // A fresh start: clock at 0, no timers, posted messages or answers,
    // default settings. Windows that exist stay.
    void Reset();

    uint64_t Now() const { return now_; }
    // Moves the clock on by `ms`, delivering what falls due on the way.
    void Advance(uint64_t ms);
    // Delivers the posted messages and the timers due now, without moving
    // the clock; returns how many were delivered.
    int32_t DeliverPending();
    // Moves the clock to the earliest timer when it is due within
    // `withinMs` and delivers it; false when there is none.
    bool RunNextTimer(uint64_t withinMs = UINT64_MAX);

    bool HasTimer(const VnWnd& wnd, uint32_t id) const;
    // Milliseconds until that timer is next due, -1 when it is not running.
    int64_t GetTimeUntil(const VnWnd& wnd, uint32_t id) const;
    int32_t GetTimerCount() const { return int32_t(timers_.size()); }
    int32_t GetPostedCount() const { return int32_t(posted_.size()); }

    // Answers of the folder picker, used in order; with none left it is cancelled.
    void QueueBrowseAnswer(const VnString& folder) { browseAnswers_.push_back({true, folder}); }
    void QueueBrowseCancel() { browseAnswers_.push_back({false, {}}); }
    int32_t GetBrowseCount() const { return browseCount_; }

    // Decides which picture files can be shown (all of them unless set).
    void SetImageReader(std::function<bool(const VnString&)> canRead) { imageReader_ = std::move(canRead); }

    // The modal loop's user: called whenever the loop has nothing to
    // deliver, after `userDelay` ms of virtual time (a person is not
    // instant); returns false once it has nothing more to do. The loop then
    // lets timers run for up to the idle limit of virtual time and, if the
    // popup has still not ended, gives up (WasStalled becomes true).
    using Script = std::function<bool(VnPopupWnd&)>;
    void SetScript(Script script) { script_ = std::move(script); }
    void SetUserDelay(uint32_t ms) { userDelay_ = ms; }
    void SetIdleLimit(uint64_t ms) { idleLimit_ = ms; }
    bool WasStalled() const { return stalled_; }

    // Text metrics of the headless font, in layout units.
    static constexpr int32_t kLineHeight = 15;
    static constexpr int32_t kCharWidth = 6;
    static constexpr int32_t kBoldCharWidth = 7;
    static constexpr uint32_t kMinimumTimerPeriod = 10;

private:
    friend struct VnBackend;
    struct Timer {
        VnWnd* wnd;
        uint32_t id;
        uint32_t period;
        uint64_t due;
        uint64_t order;
    };
    struct Posted {
        VnWnd* wnd;
        uint32_t msg;
        uintptr_t wParam;
        intptr_t lParam;
    };
    struct BrowseAnswer {
        bool chosen;
        VnString folder;
    };

    VnHeadlessUi() { Reset(); }
    int32_t DeliverPosted();
    // The timer due first at or before `limit`, or null.
    Timer* NextDue(uint64_t limit);
    void Fire(Timer& timer);
    void SetTimer(VnWnd& wnd, uint32_t id, uint32_t period);
    bool KillTimer(const VnWnd& wnd, uint32_t id);
    void Forget(const VnWnd& wnd);
    void RunModal(VnPopupWnd& popup);

    uint64_t now_ = 0;
    uint64_t timerOrder_ = 0;
    std::vector<Timer> timers_;
    std::deque<Posted> posted_;
    std::deque<BrowseAnswer> browseAnswers_;
    int32_t browseCount_ = 0;
    std::function<bool(const VnString&)> imageReader_;
    Script script_;
    uint32_t userDelay_ = 500;
    uint64_t idleLimit_ = 600000;
    bool stalled_ = false;
    VnWnd* focus_ = nullptr;
};
