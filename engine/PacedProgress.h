// Progress of a long loop of quick steps, shown and pumped at a steady pace
// rather than at every step: under Wine each pump and each move of the bar is
// a round trip to the server (and a repaint), dearer than a whole step of a
// fast loop. The interval is short enough that the window still paints, the
// bar still moves and a click is answered within about a tenth of a second.
#pragma once

#include <cstdint>

#include "CopyProgress.h"

class CPacedProgress {
public:
    static constexpr uint64_t kIntervalMilliseconds = 50;

    // `progress` may be null (nothing shown; messages are still pumped).
    explicit CPacedProgress(ICopyProgress* progress);

    // Step `position` is done: when the interval has passed since the last
    // time, pumps the messages and shows the position.
    void StepDone(int position);
    // The loop's end: shows `position` unless it is already shown, then pumps.
    void Finish(int position);

private:
    void Show(int position);

    ICopyProgress* progress_;
    uint64_t lastShownAt_;
    int shownPosition_ = -1;
};
