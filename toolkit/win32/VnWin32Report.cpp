// Report lists: a list view in report mode with check boxes and groups.
//
// With group view (common controls 6 on Windows XP and later) the list view's
// rows are the model's rows, index for index; groups change only the order in
// which they are shown. A list view without group view (Windows 2000, and
// Wine, whose list view ignores groups) shows each group as a heading row of
// its own instead, in bold and without a check box, followed by its rows: the
// page looks the same and the keyboard walks it the same way. Each list view
// row carries its model index as its lParam (a heading: kHeadingParam less
// the group's position), so the two are mapped through it.
#include "VnWin32Native.h"

#include <algorithm>
#include <cstdint>

#include "VnReportCtrl.h"

namespace {
constexpr LPARAM kHeadingParam = -1;

// Changes the toolkit makes itself are not reported to the page.
class QuietReport {
public:
    QuietReport() { ++VnBackend::Native::quietReport; }
    ~QuietReport() { --VnBackend::Native::quietReport; }
};

// A list view that redraws and lays out its scroll bars after every row
// added is slow to fill with thousands; it is suspended meanwhile.
// WM_SETREDRAW also clears and sets WS_VISIBLE, so only a list with that
// style is suspended, and it has the style again afterwards.
class SuspendedRedraw {
public:
    explicit SuspendedRedraw(HWND list) : list_(list), suspended_(GetWindowLongPtrW(list, GWL_STYLE) & WS_VISIBLE) {
        if (suspended_) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ~SuspendedRedraw() {
        if (!suspended_) return;
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }
    SuspendedRedraw(const SuspendedRedraw&) = delete;
    SuspendedRedraw& operator=(const SuspendedRedraw&) = delete;

private:
    HWND list_;
    bool suspended_;
};

void SetCheck(HWND list, int index, bool checked) {
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&state));
}

// Whether groups are shown as heading rows (the list view has no group view).
bool UsesHeadingRows(HWND list, const VnReportCtrl& report) {
    return report.GetGroupCount() > 0 && !SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0);
}

LPARAM RowParam(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : kHeadingParam;
}

// The list view row showing model item `index`, or -1.
int ListRowOf(HWND list, const VnReportCtrl& report, int32_t index) {
    if (!UsesHeadingRows(list, report)) return index < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) ? index : -1;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = index;
    return int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

int InsertRow(HWND list, int row, const VnString& text, LPARAM param, int groupId) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | (groupId >= 0 ? LVIF_GROUPID : 0);
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(VnWide(text));
    item.lParam = param;
    item.iGroupId = groupId;
    return int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

// A row's texts and check box.
void FillRow(HWND list, int row, const VnReportCtrl& report, int32_t index, bool checked) {
    for (int32_t c = 0; c < std::max(1, report.GetColumnCount()); ++c) {
        const VnString text = report.GetItemText(index, c);
        LVITEMW cell{};
        cell.iSubItem = c;
        cell.pszText = const_cast<wchar_t*>(VnWide(text));
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&cell));
    }
    if (report.HasOption(kVnOptCheckBoxes)) SetCheck(list, row, checked);
}

// The group headings and their rows, in display order; a group without rows
// shows no heading, as in group view. `checked` holds the model's ticks.
void InsertWithHeadings(HWND list, const VnReportCtrl& report, const std::vector<bool>& checked) {
    const std::vector<int32_t> order = report.GetDisplayOrder();
    int row = 0;
    int32_t shownGroup = INT32_MIN;
    for (int32_t index : order) {
        const int32_t group = report.GetItemGroup(index);
        if (group != shownGroup) {
            shownGroup = group;
            int position = 0;
            while (report.GetGroupId(position) != group) ++position;
            const int heading = InsertRow(list, row++, report.GetGroupTitle(group), kHeadingParam - position, -1);
            LVITEMW noBox{};
            noBox.stateMask = LVIS_STATEIMAGEMASK;  // state image 0: no check box
            SendMessageW(list, LVM_SETITEMSTATE, WPARAM(heading), reinterpret_cast<LPARAM>(&noBox));
        }
        InsertRow(list, row, report.GetItemText(index), index, -1);
        FillRow(list, row++, report, index, checked[size_t(index)]);
    }
}
}  // namespace

void VnBackend::RebuildReport(VnReportCtrl& report) {
    HWND list = Native::Hwnd(report);
    QuietReport quiet;
    SuspendedRedraw suspended(list);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    SendMessageW(list, LVM_REMOVEALLGROUPS, 0, 0);

    LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    style = report.columns_.empty() ? (style | LVS_NOCOLUMNHEADER) : (style & ~LONG_PTR(LVS_NOCOLUMNHEADER));
    SetWindowLongPtrW(list, GWL_STYLE, style);
    const size_t columns = std::max<size_t>(1, report.columns_.size());
    for (size_t c = 0; c < columns; ++c) {
        VnString title = c < report.columns_.size() ? report.columns_[c].title : VnString();
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(VnWide(title));
        column.cx = 50;
        column.iSubItem = int(c);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }

    SendMessageW(list, LVM_ENABLEGROUPVIEW, report.groups_.empty() ? FALSE : TRUE, 0);
    if (UsesHeadingRows(list, report)) {
        std::vector<bool> checked;
        for (const auto& item : report.items_) checked.push_back(item.checked);
        InsertWithHeadings(list, report, checked);
    } else {
        for (const auto& group : report.groups_) {
            LVGROUP header{};
            header.cbSize = LVGROUP_V5_SIZE;  // the fields every version knows
            header.mask = LVGF_HEADER | LVGF_GROUPID;
            header.pszHeader = const_cast<wchar_t*>(VnWide(group.title));
            header.iGroupId = group.id;
            SendMessageW(list, LVM_INSERTGROUP, WPARAM(-1), reinterpret_cast<LPARAM>(&header));
        }
        for (int32_t i = 0; i < report.GetItemCount(); ++i) ApplyReportItem(report, i);
    }
    Native::SizeReportColumns(report);
}

void VnBackend::ApplyReportItem(VnReportCtrl& report, int32_t index) {
    HWND list = Native::Hwnd(report);
    QuietReport quiet;
    const auto& item = report.items_[size_t(index)];
    int row = ListRowOf(list, report, index);
    if (row < 0) {
        // A row added after the list was shown: headings put it in its
        // group's place, so they are laid out again.
        if (UsesHeadingRows(list, report)) return RebuildReport(report);
        row = InsertRow(list, index, item.texts[0], index, report.groups_.empty() ? -1 : item.group);
    }
    FillRow(list, row, report, index, item.checked);
}

bool VnBackend::ReadReportChecked(const VnReportCtrl& report, int32_t item, bool& checked) {
    if (!report.HasOption(kVnOptCheckBoxes)) return false;
    HWND list = Native::Hwnd(report);
    const int row = ListRowOf(list, report, item);
    if (row < 0) return false;
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK);
    checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
    return true;
}

void VnBackend::Native::SizeReportColumns(VnReportCtrl& report) {
    HWND list = Hwnd(report);
    const int available = ToPixels(report.rect_.Width()) - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
    int fixed = 0;
    for (const auto& column : report.columns_) fixed += ToPixels(column.width);
    const int rest = std::max(available - fixed, ToPixels(50));
    const size_t columns = std::max<size_t>(1, report.columns_.size());
    for (size_t c = 0; c < columns; ++c) {
        const int width = c < report.columns_.size() && report.columns_[c].width > 0 ? ToPixels(report.columns_[c].width) : rest;
        SendMessageW(list, LVM_SETCOLUMNWIDTH, c, width);
    }
}

LRESULT VnBackend::Native::OnReportNotify(VnWnd& parent, NMHDR& header) {
    VnWnd* child = ChildByHwnd(parent, header.hwndFrom);
    if (!child || child->kind_ != VnWndKind::Report) return 0;
    auto& report = static_cast<VnReportCtrl&>(*child);
    if (header.code == NM_CUSTOMDRAW) {
        // Heading rows are drawn in bold.
        auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
            return UsesHeadingRows(header.hwndFrom, report) ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && LPARAM(draw.nmcd.lItemlParam) <= kHeadingParam) {
            SelectObject(draw.nmcd.hdc, Font(true));
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    if (header.code != LVN_ITEMCHANGING && header.code != LVN_ITEMCHANGED) return 0;
    const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE) || !((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) return 0;
    // A heading never gains a check box (Space on it changes nothing).
    if (header.code == LVN_ITEMCHANGING) return quietReport == 0 && change.lParam <= kHeadingParam ? TRUE : FALSE;
    if (quietReport > 0 || change.iItem < 0) return 0;
    const LPARAM index = UsesHeadingRows(header.hwndFrom, report) ? RowParam(header.hwndFrom, change.iItem) : change.iItem;
    if (index < 0 || index >= report.GetItemCount()) return 0;
    // The user ticked or cleared a row.
    report.items_[size_t(index)].checked = ((change.uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    parent.WindowProc(kVnMsgCommand, VnMakeCommandParam(report.id_, kVnNotifyChanged), index);
    return 0;
}
