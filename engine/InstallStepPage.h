// The copy page as the install steps see it. The page runs the install as
// numbered steps, each started by a one-shot page timer: 0 the dependency
// installers, 1 the copy-and-install sequence, 2 the component registration,
// 3 and 4 the finishing countdown, 5 the end. Each step worker drives the
// page's status line and progress bar and, when it is done, hands control
// back with ScheduleNextInstallStep.
//
// The wizard's copy page implements this interface; the engine never sees
// the window classes.
#pragma once

#include <cstdint>

#include "CopyProgress.h"
#include "VnString.h"

enum InstallStepNumber : int32_t {
    kDependencyStep = 0,
    kCopyAndInstallStep = 1,
    kComponentStep = 2,
    kFinishingStep = 3,
};

class IInstallStepPage : public ICopyProgress {
public:
    // The header the frame shows above the page.
    virtual void SetHeader(const VnString& title, const VnString& subtitle) = 0;
    // The answer the page's CanCancel gives from now on.
    virtual void SetCanCancel(bool canCancel) = 0;
    // Redraws the wizard frame, so that a new header and the state of the
    // Cancel button show at once.
    virtual void RefreshWizardFrame() = 0;
    // Ends the wizard through the frame's cancel operation.
    virtual void CancelWizard() = 0;
    // The user pressed Cancel (only possible while the page allows it: a
    // download is running). Steps poll it between blocks of work.
    virtual bool IsCancelRequested() const { return false; }

    // The number of the next step timer to start.
    virtual int32_t GetStepCounter() const = 0;
    virtual void SetStepCounter(int32_t step) = 0;
    // Starts the one-shot timer of `step` with a period of 1 ms.
    virtual void StartStepTimer(int32_t step) = 0;

protected:
    ~IInstallStepPage() = default;
};

// The tail of every step worker, and the page's own scheduling after it is
// built: when the next step would be the copy and the installed copy is
// already current (IsInstalledVersionCurrent: downgrades forbidden and this
// version installed at least as new as the payload), the copy and component
// steps are skipped and the finishing step comes next. Then the timer of the
// step counter is started and the counter moves on by one.
void ScheduleNextInstallStep(IInstallStepPage& page);
