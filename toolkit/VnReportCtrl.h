// A report list: rows with columns, optional check boxes, and group rows
// that gather items under a heading (Windows: a list view in report mode
// with groups). When groups are used every row belongs to one; groups show
// in the order they were added, rows in the order they were added within
// their group.
#pragma once

#include <vector>

#include "VnArray.h"
#include "VnWnd.h"

class VnReportCtrl : public VnWnd {
public:
    VnReportCtrl() : VnWnd(VnWndKind::Report) {}
    // Options: kVnOptCheckBoxes. Columns, groups and rows may be added before
    // or after the control is created.
    bool Create(VnWnd& parent, const VnRect& rect = {}, uint32_t options = kVnOptCheckBoxes, int32_t id = 0);

    // A width of 0 gives the column what the others leave free.
    int32_t AddColumn(const VnString& title, int32_t width = 0);
    int32_t GetColumnCount() const { return int32_t(columns_.size()); }
    const VnString& GetColumnTitle(int32_t column) const { return columns_[size_t(column)].title; }

    // False when the id is already used.
    bool AddGroup(int32_t groupId, const VnString& title);
    bool HasGroup(int32_t groupId) const;
    int32_t GetGroupCount() const { return int32_t(groups_.size()); }
    int32_t GetGroupId(int32_t index) const { return groups_[size_t(index)].id; }
    VnString GetGroupTitle(int32_t groupId) const;

    // Returns the new row's index. A group id that was not added is refused (-1).
    int32_t AddItem(const VnString& text, int32_t groupId = -1, bool checked = false);
    int32_t GetItemCount() const { return int32_t(items_.size()); }
    void SetItemText(int32_t item, int32_t column, const VnString& text);
    VnString GetItemText(int32_t item, int32_t column = 0) const;
    int32_t GetItemGroup(int32_t item) const;
    void SetItemChecked(int32_t item, bool checked);
    bool IsItemChecked(int32_t item) const;
    void SetAllChecked(bool checked);
    void DeleteAllItems();
    // The first row whose first column matches (case-insensitively), or -1.
    int32_t FindItem(std::u16string_view text) const;
    // Rows in the order they are shown: by group, then as added. While
    // groups are used, rows outside them are not shown.
    std::vector<int32_t> GetDisplayOrder() const;

    // Toggles a row's check box as a click of the user does and tells the parent.
    bool ToggleItem(int32_t item);

private:
    friend struct VnBackend;
    struct Column {
        VnString title;
        int32_t width;
    };
    struct Group {
        int32_t id;
        VnString title;
    };
    struct Item {
        VnStringArray texts;
        int32_t group;
        bool checked;
    };
    bool IsValidItem(int32_t item) const { return item >= 0 && item < GetItemCount(); }

    std::vector<Column> columns_;
    std::vector<Group> groups_;
    std::vector<Item> items_;
};
