// A progress bar with a range, a position and a step.
#pragma once

#include "VnWnd.h"

class VnProgressCtrl : public VnWnd {
public:
    VnProgressCtrl() : VnWnd(VnWndKind::Progress) {}
    bool Create(VnWnd& parent, const VnRect& rect = {}, int32_t id = 0);
    // A range whose maximum is below the minimum is made empty (max = min).
    void SetRange(int32_t minimum, int32_t maximum);
    int32_t GetMinimum() const { return minimum_; }
    int32_t GetMaximum() const { return maximum_; }
    // Positions are kept inside the range.
    void SetPos(int32_t position);
    int32_t GetPos() const { return position_; }
    void OffsetPos(int32_t delta);
    void SetStep(int32_t step) { step_ = step; }
    // Advances by the step (1 unless set).
    void StepIt() { OffsetPos(step_); }
    // Moves to the maximum.
    void Fill() { SetPos(maximum_); }
    int32_t GetPreferredHeight(int32_t width) const override;

private:
    friend struct VnBackend;
    void Apply();
    int32_t minimum_ = 0;
    int32_t maximum_ = 100;
    int32_t position_ = 0;
    int32_t step_ = 1;
};
