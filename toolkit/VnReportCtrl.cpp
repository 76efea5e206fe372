#include "VnReportCtrl.h"

#include "VnBackend.h"

bool VnReportCtrl::Create(VnWnd& parent, const VnRect& rect, uint32_t options, int32_t id) {
    return CreateChild(parent, {}, rect, options, id);
}

int32_t VnReportCtrl::AddColumn(const VnString& title, int32_t width) {
    columns_.push_back({title, width});
    if (IsCreated()) VnBackend::RebuildReport(*this);
    return GetColumnCount() - 1;
}

bool VnReportCtrl::AddGroup(int32_t groupId, const VnString& title) {
    if (HasGroup(groupId)) return false;
    groups_.push_back({groupId, title});
    if (IsCreated()) VnBackend::RebuildReport(*this);
    return true;
}

bool VnReportCtrl::HasGroup(int32_t groupId) const {
    for (const Group& group : groups_)
        if (group.id == groupId) return true;
    return false;
}

VnString VnReportCtrl::GetGroupTitle(int32_t groupId) const {
    for (const Group& group : groups_)
        if (group.id == groupId) return group.title;
    return {};
}

int32_t VnReportCtrl::AddItem(const VnString& text, int32_t groupId, bool checked) {
    if (groupId != -1 && !HasGroup(groupId)) return -1;
    Item item{{}, groupId, checked};
    item.texts.Add(text);
    items_.push_back(std::move(item));
    const int32_t index = GetItemCount() - 1;
    if (IsCreated()) VnBackend::ApplyReportItem(*this, index);
    return index;
}

void VnReportCtrl::SetItemText(int32_t item, int32_t column, const VnString& text) {
    if (!IsValidItem(item) || column < 0) return;
    VnStringArray& texts = items_[size_t(item)].texts;
    while (texts.GetSize() <= column) texts.Add(VnString());
    texts[column] = text;
    if (IsCreated()) VnBackend::ApplyReportItem(*this, item);
}

VnString VnReportCtrl::GetItemText(int32_t item, int32_t column) const {
    if (!IsValidItem(item)) return {};
    const VnStringArray& texts = items_[size_t(item)].texts;
    return texts.IsValidIndex(column) ? texts[column] : VnString();
}

int32_t VnReportCtrl::GetItemGroup(int32_t item) const { return IsValidItem(item) ? items_[size_t(item)].group : -1; }

void VnReportCtrl::SetItemChecked(int32_t item, bool checked) {
    if (!IsValidItem(item)) return;
    items_[size_t(item)].checked = checked;
    if (IsCreated()) VnBackend::ApplyReportItem(*this, item);
}

bool VnReportCtrl::IsItemChecked(int32_t item) const {
    if (!IsValidItem(item)) return false;
    bool checked = items_[size_t(item)].checked;
    if (IsCreated() && VnBackend::ReadReportChecked(*this, item, checked)) return checked;
    return items_[size_t(item)].checked;
}

void VnReportCtrl::SetAllChecked(bool checked) {
    for (int32_t i = 0; i < GetItemCount(); ++i) SetItemChecked(i, checked);
}

void VnReportCtrl::DeleteAllItems() {
    items_.clear();
    if (IsCreated()) VnBackend::RebuildReport(*this);
}

int32_t VnReportCtrl::FindItem(std::u16string_view text) const {
    for (int32_t i = 0; i < GetItemCount(); ++i)
        if (items_[size_t(i)].texts[0].EqualsNoCase(text)) return i;
    return -1;
}

std::vector<int32_t> VnReportCtrl::GetDisplayOrder() const {
    std::vector<int32_t> order;
    if (groups_.empty()) {
        for (int32_t i = 0; i < GetItemCount(); ++i) order.push_back(i);
        return order;
    }
    for (const Group& group : groups_)
        for (int32_t i = 0; i < GetItemCount(); ++i)
            if (items_[size_t(i)].group == group.id) order.push_back(i);
    return order;
}

bool VnReportCtrl::ToggleItem(int32_t item) {
    if (!IsValidItem(item) || !IsEnabled() || !IsVisibleOnScreen() || !HasOption(kVnOptCheckBoxes)) return false;
    SetItemChecked(item, !IsItemChecked(item));
    if (VnWnd* parent = GetParent()) parent->SendMessage(kVnMsgCommand, VnMakeCommandParam(GetId(), kVnNotifyChanged), item);
    return true;
}
