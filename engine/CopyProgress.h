// What the copy steps show while they work: a status line and a progress bar
// with a range and a position. The copy page implements it; the engine only
// calls it (a null display is allowed wherever one is passed).
#pragma once

#include "VnString.h"

class ICopyProgress {
public:
    virtual void SetStatusText(const VnString& text) = 0;
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;

protected:
    ~ICopyProgress() = default;
};
