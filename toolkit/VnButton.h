// Push buttons, check boxes and radio buttons.
#pragma once

#include "VnWnd.h"

class VnButton : public VnWnd {
public:
    VnButton() : VnWnd(VnWndKind::Button) {}
    // Options: kVnOptDefaultButton. A push button is always a tab stop.
    bool Create(VnWnd& parent, const VnString& label, const VnRect& rect = {}, uint32_t options = kVnOptNone,
                int32_t id = 0);
    // Presses the button as the user would (Windows: BM_CLICK). Refused,
    // returning false, when it is disabled or cannot be seen.
    bool Click();
    int32_t GetPreferredHeight(int32_t width) const override;
    // The standard width, or wider when the label needs it.
    int32_t GetPreferredWidth() const;

protected:
    explicit VnButton(VnWndKind kind) : VnWnd(kind) {}
};

class VnCheckbox : public VnButton {
public:
    VnCheckbox() : VnButton(VnWndKind::Checkbox) {}
    // A long label wraps onto further lines.
    bool Create(VnWnd& parent, const VnString& label, bool checked, const VnRect& rect = {},
                uint32_t options = kVnOptTabStop, int32_t id = 0);
    void SetCheck(bool checked);
    bool IsChecked() const;
    int32_t GetPreferredHeight(int32_t width) const override;

protected:
    explicit VnCheckbox(VnWndKind kind) : VnButton(kind) {}
};

// One choice of a radio group (see VnRadioArray, which makes them). Clicking
// it checks it and clears the others of its group.
class VnRadioButton : public VnCheckbox {
public:
    VnRadioButton() : VnCheckbox(VnWndKind::Radio) {}
    // Clears every other radio button of the group this one belongs to: the
    // run of siblings from the nearest group start up to the next one.
    void ClearGroupSiblings();
};
