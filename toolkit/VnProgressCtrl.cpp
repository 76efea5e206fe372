#include "VnProgressCtrl.h"

#include <algorithm>

#include "VnBackend.h"
#include "VnLayout.h"

bool VnProgressCtrl::Create(VnWnd& parent, const VnRect& rect, int32_t id) {
    return CreateChild(parent, {}, rect, kVnOptNone, id);
}

void VnProgressCtrl::SetRange(int32_t minimum, int32_t maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
    Apply();
}

void VnProgressCtrl::SetPos(int32_t position) {
    position_ = std::clamp(position, minimum_, maximum_);
    Apply();
}

void VnProgressCtrl::OffsetPos(int32_t delta) {
    const int64_t target = int64_t(position_) + delta;
    SetPos(int32_t(std::clamp<int64_t>(target, minimum_, maximum_)));
}

void VnProgressCtrl::Apply() {
    if (IsCreated()) VnBackend::ApplyProgress(*this);
}

int32_t VnProgressCtrl::GetPreferredHeight(int32_t width) const { return std::max(16, VnLayout::LineHeight() + 2); }
