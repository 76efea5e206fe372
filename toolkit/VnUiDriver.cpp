#include "VnUiDriver.h"

#include <functional>

#include "VnDialogHeaderCtrl.h"
#include "VnEditCtrl.h"
#include "VnPopupWnd.h"
#include "VnProgressCtrl.h"
#include "VnReportCtrl.h"
#include "VnStatic.h"

namespace {

VnString Normalized(std::u16string_view label) {
    VnString text = VnWnd::StripMnemonic(label);
    text.Trim();
    return text;
}

bool Matches(const VnWnd& wnd, std::u16string_view label) {
    return Normalized(wnd.GetDisplayText()).EqualsNoCase(Normalized(label));
}

// Calls `visit` for every window on screen below `root`, in tab order;
// stops when it returns true and hands back that window.
VnWnd* Walk(VnWnd& root, const std::function<bool(VnWnd&)>& visit) {
    for (VnWnd* child : root.GetChildren()) {
        if (!child->IsCreated() || !child->IsVisible()) continue;
        if (visit(*child)) return child;
        if (VnWnd* found = Walk(*child, visit)) return found;
    }
    return nullptr;
}

VnString Quote(std::u16string_view text) {
    VnString quoted = VnString(text);
    quoted.Replace(u"\\", u"\\\\");
    quoted.Replace(u"\"", u"\\\"");
    quoted.Replace(u"\r\n", u"\\n");
    return u"\"" + quoted + u"\"";
}

class Describer {
public:
    explicit Describer(VnString& out) : out_(out) {}

    void Window(VnWnd& wnd, int depth) {
        if (!wnd.IsCreated() || !wnd.IsVisible()) return;
        switch (wnd.GetKind()) {
        case VnWndKind::Popup:
            Line(depth, u"popup " + Quote(wnd.GetText()), wnd);
            Children(wnd, depth + 1);
            return;
        case VnWndKind::Pane:
            if (auto* header = dynamic_cast<VnDialogHeaderCtrl*>(&wnd)) {
                Line(depth, u"header " + Quote(header->GetTitle()) + u" / " + Quote(header->GetSubtitle()), wnd);
            } else if (auto* path = dynamic_cast<VnFilenameWnd*>(&wnd)) {
                Line(depth, u"path " + Quote(path->GetPath()) + u" [" + path->GetBrowseButton().GetDisplayText() + u"]",
                     wnd, path->GetBrowseButton().IsEnabled());
            } else {
                Children(wnd, depth);
            }
            return;
        case VnWndKind::Button:
            Line(depth, u"button " + Quote(wnd.GetDisplayText()) + DefaultFlag(wnd), wnd);
            return;
        case VnWndKind::Checkbox:
        case VnWndKind::Radio: {
            const bool checked = static_cast<VnCheckbox&>(wnd).IsChecked();
            const bool radio = wnd.GetKind() == VnWndKind::Radio;
            VnString mark = radio ? VnString(checked ? u"(o)" : u"( )") : VnString(checked ? u"[x]" : u"[ ]");
            Line(depth, VnString(radio ? u"radio " : u"check ") + mark + u" " + Quote(wnd.GetDisplayText()), wnd);
            return;
        }
        case VnWndKind::Static:
            Line(depth, VnString(wnd.HasOption(kVnOptBold) ? u"static bold " : u"static ") + Quote(wnd.GetDisplayText()),
                 wnd);
            return;
        case VnWndKind::Image: {
            const VnString& file = static_cast<VnImageCtrl&>(wnd).GetImageFile();
            Line(depth, u"image " + (file.IsEmpty() ? VnString(u"(none)") : Quote(file)), wnd);
            return;
        }
        case VnWndKind::Edit:
            Edit(wnd, depth);
            return;
        case VnWndKind::Progress: {
            auto& bar = static_cast<VnProgressCtrl&>(wnd);
            Line(depth, VnString::Format(u"progress %d..%d at %d", bar.GetMinimum(), bar.GetMaximum(), bar.GetPos()), wnd);
            return;
        }
        case VnWndKind::Report:
            Report(static_cast<VnReportCtrl&>(wnd), depth);
            return;
        case VnWndKind::Separator:
            return;
        }
    }

private:
    void Children(VnWnd& wnd, int depth) {
        for (VnWnd* child : wnd.GetChildren()) Window(*child, depth);
    }

    static VnString DefaultFlag(VnWnd& wnd) {
        VnPopupWnd* popup = wnd.GetPopup();
        return popup && popup->GetDefaultButton() == &wnd ? VnString(u" default") : VnString();
    }

    void Edit(VnWnd& wnd, int depth) {
        VnString text = wnd.GetText();
        VnString flags = wnd.HasOption(kVnOptReadOnly) ? VnString(u"read-only ") : VnString();
        if (wnd.HasOption(kVnOptMultiLine)) {
            const VnStringArray lines = VnStringArray::Split(text, u"\r\n");
            VnString first = lines.IsEmpty() ? VnString() : lines[0];
            if (first.GetLength() > 60) first = first.Left(60) + u"...";
            Line(depth, u"edit " + flags + VnString::Format(u"%d lines ", text.IsEmpty() ? 0 : lines.GetSize()) + Quote(first),
                 wnd);
        } else {
            Line(depth, u"edit " + flags + Quote(text), wnd);
        }
    }

    void Report(VnReportCtrl& list, int depth) {
        VnString columns;
        for (int32_t c = 0; c < list.GetColumnCount(); ++c) columns += u" " + Quote(list.GetColumnTitle(c));
        Line(depth, VnString::Format(u"list %d rows", list.GetItemCount()) + (columns.IsEmpty() ? VnString() : u":" + columns),
             list);
        int32_t group = -1;
        for (int32_t item : list.GetDisplayOrder()) {
            if (list.GetGroupCount() > 0 && list.GetItemGroup(item) != group) {
                group = list.GetItemGroup(item);
                Indent(depth + 1);
                out_ += u"group " + Quote(list.GetGroupTitle(group)) + u"\n";
            }
            Indent(depth + (list.GetGroupCount() > 0 ? 2 : 1));
            if (list.HasOption(kVnOptCheckBoxes)) out_ += list.IsItemChecked(item) ? u"[x] " : u"[ ] ";
            out_ += Quote(list.GetItemText(item));
            for (int32_t c = 1; c < list.GetColumnCount(); ++c) out_ += u" " + Quote(list.GetItemText(item, c));
            out_ += u"\n";
        }
    }

    void Indent(int depth) { out_ += VnString(u' ', depth * 2); }

    void Line(int depth, const VnString& text, VnWnd& wnd, bool enabled = true) {
        Indent(depth);
        out_ += text;
        if (!wnd.IsEnabled() || !enabled) out_ += u" disabled";
        if (wnd.HasFocus()) out_ += u" focused";
        out_ += u"\n";
    }

    VnString& out_;
};

}  // namespace

VnWnd* VnUiDriver::GetRoot() const { return root_ ? root_ : VnPopupWnd::GetActivePopup(); }

VnWnd* VnUiDriver::Find(std::u16string_view label, std::optional<VnWndKind> kind) const {
    VnWnd* root = GetRoot();
    if (!root) return nullptr;
    return Walk(*root, [&](VnWnd& wnd) { return (!kind || wnd.GetKind() == *kind) && Matches(wnd, label); });
}

bool VnUiDriver::Fail(const VnString& why) {
    lastError_ = why;
    return false;
}

VnWnd* VnUiDriver::FindEnabled(std::u16string_view label, VnWndKind kind, std::u16string_view what) {
    lastError_.Empty();
    VnWnd* wnd = Find(label, kind);
    if (!wnd) {
        Fail(VnString(what) + u" " + Quote(label) + u" is not on screen");
        return nullptr;
    }
    if (!wnd->IsEnabled()) {
        Fail(VnString(what) + u" " + Quote(label) + u" is disabled");
        return nullptr;
    }
    return wnd;
}

bool VnUiDriver::Press(std::u16string_view label) {
    VnWnd* wnd = FindEnabled(label, VnWndKind::Button, u"button");
    if (!wnd) return false;
    return static_cast<VnButton*>(wnd)->Click() || Fail(u"the button did not take the click");
}

bool VnUiDriver::Tick(std::u16string_view label, bool checked) {
    if (Find(label, VnWndKind::Checkbox)) {
        auto* box = static_cast<VnCheckbox*>(FindEnabled(label, VnWndKind::Checkbox, u"check box"));
        if (!box) return false;
        return box->IsChecked() == checked || box->Click() || Fail(u"the check box did not take the click");
    }
    lastError_.Empty();
    VnWnd* root = GetRoot();
    VnReportCtrl* list = nullptr;
    int32_t row = -1;
    if (root) {
        Walk(*root, [&](VnWnd& wnd) {
            if (wnd.GetKind() != VnWndKind::Report) return false;
            list = static_cast<VnReportCtrl*>(&wnd);
            row = list->FindItem(Normalized(label));
            return row >= 0;
        });
    }
    if (row < 0) return Fail(u"no check box or list row " + Quote(label) + u" is on screen");
    if (list->IsItemChecked(row) == checked) return true;
    return list->ToggleItem(row) || Fail(u"the list row " + Quote(label) + u" cannot be ticked");
}

bool VnUiDriver::Choose(std::u16string_view label) {
    auto* radio = static_cast<VnRadioButton*>(FindEnabled(label, VnWndKind::Radio, u"radio button"));
    if (!radio) return false;
    return radio->IsChecked() || radio->Click() || Fail(u"the radio button did not take the click");
}

bool VnUiDriver::Type(std::u16string_view label, const VnString& text) {
    lastError_.Empty();
    VnWnd* root = GetRoot();
    if (!root) return Fail(u"no window is on screen");
    bool labelSeen = label.empty();
    VnWnd* edit = Walk(*root, [&](VnWnd& wnd) {
        if (!labelSeen) {
            labelSeen = wnd.GetKind() == VnWndKind::Static && Matches(wnd, label);
            return false;
        }
        return wnd.GetKind() == VnWndKind::Edit && !wnd.HasOption(kVnOptReadOnly);
    });
    if (!edit) return Fail(u"no edit box follows " + Quote(label));
    if (!edit->IsEnabled()) return Fail(u"the edit box after " + Quote(label) + u" is disabled");
    edit->SetText(text);
    return true;
}

bool VnUiDriver::CloseWindow() {
    VnWnd* root = GetRoot();
    if (!root) return Fail(u"no window is on screen");
    root->SendMessage(kVnMsgSysCommand, kVnSysCommandClose, 0);
    return true;
}

bool VnUiDriver::PressEscape() {
    VnWnd* root = GetRoot();
    if (!root) return Fail(u"no window is on screen");
    VnWnd* cancel = root->FindChildById(kVnIdCancel);
    root->SendMessage(kVnMsgCommand, VnMakeCommandParam(kVnIdCancel, kVnNotifyClicked),
                      intptr_t(cancel ? cancel->GetNativeHandle() : nullptr));
    return true;
}

bool VnUiDriver::PressEnter() {
    VnPopupWnd* popup = GetRoot() ? GetRoot()->GetPopup() : nullptr;
    VnWnd* button = popup ? popup->GetDefaultButton() : nullptr;
    if (!button) return Fail(u"the window has no default button");
    if (!button->IsEnabled()) return Fail(u"the default button is disabled");
    return static_cast<VnButton*>(button)->Click() || Fail(u"the default button did not take the click");
}

VnString VnUiDriver::Describe() const {
    VnString out;
    if (VnWnd* root = GetRoot()) Describer(out).Window(*root, 0);
    return out;
}
