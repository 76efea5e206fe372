// A radio group with a description under each choice. The radio buttons are
// made one after the other (the first starts the group and is the tab stop,
// arrow keys move between them), then the descriptions.
#pragma once

#include "VnArray.h"
#include "VnButton.h"
#include "VnStatic.h"

class VnColumn;

class VnRadioArray {
public:
    // Choices are added before Create.
    int32_t AddChoice(const VnString& label, const VnString& description = {});
    // Makes the buttons in `parent`; `selected` is checked (-1: none).
    bool Create(VnWnd& parent, int32_t selected = 0);
    int32_t GetCount() const { return choices_.GetSize(); }
    VnRadioButton& GetRadio(int32_t index) { return choices_[index]->radio; }
    VnStatic& GetDescription(int32_t index) { return choices_[index]->description; }

    // The index of the first checked choice, or -1 when none is.
    int32_t GetSelectedIndex() const;
    // Checks that choice and clears the others (-1 clears all).
    void SetSelectedIndex(int32_t index);
    void Enable(bool enable);

    // Places each radio with its description indented beneath it, from the
    // column's cursor downwards.
    void Place(VnColumn& column);

private:
    struct Choice {
        VnRadioButton radio;
        VnStatic description;
        VnString label;
        VnString text;
    };
    VnOwnedPtrArray<Choice> choices_;
};
