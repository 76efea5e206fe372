// A message box with buttons of its own labels: a small dialog built in
// memory (the task dialog that could do this does not exist before Vista).
// The dialog manager gives it the standard box's keyboard: Enter presses the
// default (first) button, Esc and the close box the last, Tab moves between
// the buttons, and each label gets an access key.
#include <algorithm>
#include <cstring>
#include <vector>

#include "VnWin32Shell.h"
#include "VnWin32Text.h"

namespace {

constexpr WORD kFirstButtonId = 100;
constexpr WORD kTextId = 99;
constexpr WORD kButtonClass = 0x0080, kStaticClass = 0x0082;

// Layout in dialog units, as the standard box spaces its parts.
constexpr int kMargin = 7, kGap = 4, kButtonHeight = 14, kButtonMinWidth = 50, kButtonPadding = 10,
              kMaxTextWidth = 260;

struct BoxData {
    const VnString* text;
    int count;
};

// The dialog template is a run of WORDs: header, title, font, then each item
// DWORD-aligned.
class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const VnString& text) {
        for (char16_t c : text.View()) Word(WORD(c));
        Word(0);
    }
    void Align() {
        if (words_.size() % 2) Word(0);
    }
    void Item(DWORD style, WORD id, WORD itemClass, const VnString& text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);                          // extended style
        for (int i = 0; i < 4; ++i) Word(0);  // placed in WM_INITDIALOG, once the font is known
        Word(id);
        Word(0xFFFF);
        Word(itemClass);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

// Each label gets an access key: its own "&" if it has one, else the first
// letter or digit no earlier label took.
std::vector<VnString> WithAccessKeys(const VnStringArray& labels) {
    std::vector<VnString> result;
    VnString taken;
    for (const VnString& label : labels) {
        if (label.Find(u'&') >= 0) {
            result.push_back(label);
            continue;
        }
        VnString marked = label;
        for (int32_t i = 0; i < label.GetLength(); ++i) {
            const char16_t c = label[i];
            const char16_t lower = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
            const bool usable = (lower >= u'a' && lower <= u'z') || (lower >= u'0' && lower <= u'9');
            if (!usable || taken.Find(lower) >= 0) continue;
            taken += lower;
            marked = label.Left(i) + u"&" + label.Mid(i);
            break;
        }
        result.push_back(marked);
    }
    return result;
}

SIZE Measure(HDC dc, const wchar_t* text, UINT format, int maxWidth) {
    RECT r = {0, 0, maxWidth, 0};
    ::DrawTextW(dc, text, -1, &r, format | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

int DialogUnitsX(HWND dialog, int units) {
    RECT r = {0, 0, units, 0};
    ::MapDialogRect(dialog, &r);
    return r.right;
}
int DialogUnitsY(HWND dialog, int units) {
    RECT r = {0, 0, 0, units};
    ::MapDialogRect(dialog, &r);
    return r.bottom;
}

// Sizes the text and the buttons from the dialog's font (so that the box
// follows the DPI), centres the buttons under the text and the box on the
// work area.
void Layout(HWND dialog, const BoxData& data) {
    HDC dc = ::GetDC(dialog);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
    const int margin = DialogUnitsX(dialog, kMargin), gap = DialogUnitsX(dialog, kGap);
    const int buttonHeight = DialogUnitsY(dialog, kButtonHeight);
    const SIZE text = Measure(dc, vnw32::W(*data.text), DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS,
                              DialogUnitsX(dialog, kMaxTextWidth));
    std::vector<int> widths;
    int buttonsWidth = 0;
    for (int i = 0; i < data.count; ++i) {
        wchar_t label[256] = {};
        ::GetDlgItemTextW(dialog, kFirstButtonId + i, label, 255);
        const int width = std::max(DialogUnitsX(dialog, kButtonMinWidth),
                                   int(Measure(dc, label, DT_SINGLELINE, 10000).cx) + DialogUnitsX(dialog, kButtonPadding));
        widths.push_back(width);
        buttonsWidth += width + (i ? gap : 0);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(dialog, dc);

    const int clientWidth = std::max<int>(text.cx, buttonsWidth) + 2 * margin;
    const int buttonsTop = margin + text.cy + 2 * margin;
    const int clientHeight = buttonsTop + buttonHeight + margin;
    ::SetWindowPos(::GetDlgItem(dialog, kTextId), nullptr, margin, margin, text.cx, text.cy, SWP_NOZORDER);
    int x = (clientWidth - buttonsWidth) / 2;
    for (int i = 0; i < data.count; ++i) {
        ::SetWindowPos(::GetDlgItem(dialog, kFirstButtonId + i), nullptr, x, buttonsTop, widths[size_t(i)],
                       buttonHeight, SWP_NOZORDER);
        x += widths[size_t(i)] + gap;
    }

    RECT frame = {0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, DWORD(::GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                         DWORD(::GetWindowLongW(dialog, GWL_EXSTYLE)));
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    ::SetWindowPos(dialog, HWND_TOP, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, width, height, 0);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const BoxData& data = *reinterpret_cast<const BoxData*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, LONG_PTR(data.count));
        Layout(dialog, data);
        ::SendMessageW(dialog, DM_SETDEFID, kFirstButtonId, 0);
        ::SetForegroundWindow(dialog);
        return TRUE;  // the focus goes to the first button, the default
    }
    case WM_COMMAND: {
        const int count = int(::GetWindowLongPtrW(dialog, DWLP_USER));
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            ::EndDialog(dialog, count);  // Esc and the close box: the last button
            return TRUE;
        }
        if (id >= kFirstButtonId && id < kFirstButtonId + count) {
            ::EndDialog(dialog, id - kFirstButtonId + 1);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

int VnWin32Shell::MessageBoxWithButtons(const VnString& text, const VnString& title, const VnStringArray& labels) {
    if (labels.IsEmpty() || labels.GetSize() > 3) return -1;
    const std::vector<VnString> shown = WithAccessKeys(labels);
    const int count = int(shown.size());

    TemplateWriter writer;
    writer.Dword(DS_MODALFRAME | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    writer.Dword(0);  // extended style
    writer.Word(WORD(1 + count));
    for (int i = 0; i < 4; ++i) writer.Word(0);  // position and size: set by the layout
    writer.Word(0);  // no menu
    writer.Word(0);  // the standard dialog class
    writer.Text(title);
    writer.Word(8);  // the standard box's font: "MS Shell Dlg" at 8 points
    writer.Text(VnString(u"MS Shell Dlg"));
    writer.Item(SS_LEFT | SS_NOPREFIX, kTextId, kStaticClass, text);
    for (int i = 0; i < count; ++i)
        writer.Item(WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0),
                    WORD(kFirstButtonId + i), kButtonClass, shown[size_t(i)]);

    BoxData data{&text, count};
    const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), writer.Get(), nullptr, BoxProc,
                                                     reinterpret_cast<LPARAM>(&data));
    return result >= 1 && result <= count ? int(result - 1) : -1;
}
