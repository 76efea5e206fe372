// The uninstaller's one window, in three states: the question ("Uninstall" or
// "Cancel"), the work (a progress bar under the name of the current step,
// buttons off) and the end (what was removed and what was kept, "Close").
// The work runs inside the window's modal loop, on a message it posts to
// itself, and pumps messages at every step so the window stays drawn.
#pragma once

#include <functional>

#include "Uninstaller.h"
#include "VnButton.h"
#include "VnEditCtrl.h"
#include "VnPopupWnd.h"
#include "VnProgressCtrl.h"
#include "VnStatic.h"

class UninstallerWindow : public VnPopupWnd {
public:
    using Progress = std::function<void(int done, int total, const VnString& step)>;
    using Work = std::function<UninstallOutcome(const Progress& progress)>;

    // `question`: the confirmation's text; `summary` turns the outcome into
    // the closing text.
    UninstallerWindow(const VnString& productName, const VnString& question, Work work,
                      std::function<VnString(const UninstallOutcome&)> summary);

    // Shows the window until the user cancels or closes it at the end. True
    // when the work ran (its outcome in `outcome`).
    bool Run(UninstallOutcome& outcome);

    static constexpr char16_t kUninstallLabel[] = u"&Uninstall";
    static constexpr char16_t kCancelLabel[] = u"Cancel";
    static constexpr char16_t kCloseLabel[] = u"&Close";

protected:
    void BuildControls() override;
    void Layout() override;
    void OnCommand(VnWnd& control, uint16_t code) override;
    intptr_t WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    void OnCloseRequest() override;

private:
    enum class State { Question, Working, Done };
    void Enter(State state);
    void DoWork();

    VnString productName_, question_;
    Work work_;
    std::function<VnString(const UninstallOutcome&)> summary_;
    State state_ = State::Question;
    bool worked_ = false;
    UninstallOutcome outcome_;

    VnStatic heading_, text_;
    VnProgressCtrl progress_;
    VnEditCtrl summaryBox_;
    VnButton uninstall_, cancel_, close_;
};
