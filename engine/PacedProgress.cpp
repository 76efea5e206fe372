#include "PacedProgress.h"

#include "VnFileSystem.h"
#include "VnPlatform.h"

CPacedProgress::CPacedProgress(ICopyProgress* progress)
    : progress_(progress), lastShownAt_(VnPlatform().System().GetTickCount64()) {}

void CPacedProgress::StepDone(int position) {
    // GetTickCount64 reads a counter the system keeps in the process's memory: no round trip.
    if (VnPlatform().System().GetTickCount64() - lastShownAt_ < kIntervalMilliseconds) return;
    Show(position);
    PumpMessages();
    lastShownAt_ = VnPlatform().System().GetTickCount64();
}

void CPacedProgress::Finish(int position) {
    Show(position);
    PumpMessages();
}

void CPacedProgress::Show(int position) {
    if (position == shownPosition_) return;
    shownPosition_ = position;
    if (progress_) progress_->SetProgressPosition(position);
}
