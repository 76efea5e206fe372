#include "VnRadioArray.h"

#include "VnLayout.h"

int32_t VnRadioArray::AddChoice(const VnString& label, const VnString& description) {
    Choice* choice = new Choice;
    choice->label = label;
    choice->text = description;
    return choices_.Add(choice);
}

bool VnRadioArray::Create(VnWnd& parent, int32_t selected) {
    bool ok = true;
    // All buttons first so that arrow keys stay among them, then the texts;
    // the first text ends the group.
    for (int32_t i = 0; i < GetCount(); ++i) {
        const uint32_t options = i == 0 ? kVnOptGroupStart | kVnOptTabStop : kVnOptNone;
        ok = choices_[i]->radio.Create(parent, choices_[i]->label, i == selected, {}, options) && ok;
    }
    bool first = true;
    for (Choice* choice : choices_) {
        if (choice->text.IsEmpty()) continue;
        ok = choice->description.Create(parent, choice->text, {}, first ? kVnOptGroupStart : kVnOptNone) && ok;
        first = false;
    }
    return ok;
}

int32_t VnRadioArray::GetSelectedIndex() const {
    for (int32_t i = 0; i < GetCount(); ++i)
        if (choices_[i]->radio.IsChecked()) return i;
    return -1;
}

void VnRadioArray::SetSelectedIndex(int32_t index) {
    for (int32_t i = 0; i < GetCount(); ++i) choices_[i]->radio.SetCheck(i == index);
}

void VnRadioArray::Enable(bool enable) {
    for (Choice* choice : choices_) {
        choice->radio.Enable(enable);
        choice->description.Enable(enable);
    }
}

void VnRadioArray::Place(VnColumn& column) {
    for (int32_t i = 0; i < GetCount(); ++i) {
        if (i > 0) column.Skip(VnLayout::kParagraph);
        Choice* choice = choices_[i];
        column.Place(choice->radio);
        if (!choice->text.IsEmpty()) column.Place(choice->description, VnLayout::kIndent);
    }
}
