// A plain child window that holds other windows: the base of pages and of
// composite controls, and a grouping box of its own.
#pragma once

#include "VnWnd.h"

class VnPaneWnd : public VnWnd {
public:
    VnPaneWnd() : VnWnd(VnWndKind::Pane) {}
    // Options: kVnOptWhiteBackground.
    bool Create(VnWnd& parent, const VnRect& rect = {}, uint32_t options = kVnOptNone, int32_t id = 0) {
        return CreateChild(parent, {}, rect, options, id);
    }
};
