// Report lists: a list view in report mode with check boxes and groups. Row
// indexes of the list view are the model's (groups change only the order
// in which rows are shown).
#include "VnWin32Native.h"

#include <algorithm>

#include "VnReportCtrl.h"

namespace {
// Changes the toolkit makes itself are not reported to the page.
class QuietReport {
public:
    QuietReport() { ++VnBackend::Native::quietReport; }
    ~QuietReport() { --VnBackend::Native::quietReport; }
};

void SetCheck(HWND list, int index, bool checked) {
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&state));
}
}  // namespace

void VnBackend::RebuildReport(VnReportCtrl& report) {
    HWND list = Native::Hwnd(report);
    QuietReport quiet;
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
    for (const auto& group : report.groups_) {
        LVGROUP header{};
        header.cbSize = LVGROUP_V5_SIZE;  // the fields every version knows
        header.mask = LVGF_HEADER | LVGF_GROUPID;
        header.pszHeader = const_cast<wchar_t*>(VnWide(group.title));
        header.iGroupId = group.id;
        SendMessageW(list, LVM_INSERTGROUP, WPARAM(-1), reinterpret_cast<LPARAM>(&header));
    }
    for (int32_t i = 0; i < report.GetItemCount(); ++i) ApplyReportItem(report, i);
    Native::SizeReportColumns(report);
}

void VnBackend::ApplyReportItem(VnReportCtrl& report, int32_t index) {
    HWND list = Native::Hwnd(report);
    QuietReport quiet;
    const auto& item = report.items_[size_t(index)];
    if (index >= int32_t(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0))) {
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_PARAM | (report.groups_.empty() ? 0 : LVIF_GROUPID);
        row.iItem = index;
        row.pszText = const_cast<wchar_t*>(VnWide(item.texts[0]));
        row.lParam = index;
        row.iGroupId = item.group;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }
    for (int32_t c = 0; c < std::max(1, report.GetColumnCount()); ++c) {
        const VnString text = c < item.texts.GetSize() ? item.texts[c] : VnString();
        LVITEMW cell{};
        cell.iSubItem = c;
        cell.pszText = const_cast<wchar_t*>(VnWide(text));
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&cell));
    }
    if (report.HasOption(kVnOptCheckBoxes)) SetCheck(list, index, item.checked);
}

bool VnBackend::ReadReportChecked(const VnReportCtrl& report, int32_t item, bool& checked) {
    if (!report.HasOption(kVnOptCheckBoxes)) return false;
    const LRESULT state = SendMessageW(Native::Hwnd(report), LVM_GETITEMSTATE, WPARAM(item), LVIS_STATEIMAGEMASK);
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

void VnBackend::Native::OnReportNotify(VnWnd& parent, NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED || quietReport > 0) return;
    VnWnd* child = ChildByHwnd(parent, header.hwndFrom);
    if (!child || child->kind_ != VnWndKind::Report) return;
    auto& report = static_cast<VnReportCtrl&>(*child);
    const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE) || !((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) return;
    if (change.iItem < 0 || change.iItem >= report.GetItemCount()) return;
    // The user ticked or cleared a row.
    report.items_[size_t(change.iItem)].checked = ((change.uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    parent.WindowProc(kVnMsgCommand, VnMakeCommandParam(report.id_, kVnNotifyChanged), change.iItem);
}
