#include "DriverWindows.h"

#include <commctrl.h>

#include <algorithm>

namespace driver {

namespace {

constexpr wchar_t kWizardClass[] = L"VnPopupWnd";
constexpr wchar_t kPaneClass[] = L"VnPaneWnd";
constexpr wchar_t kMessageBoxClass[] = L"#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

struct Search {
    bool (*accept)(HWND);
    HWND found = nullptr;
};

BOOL CALLBACK VisitTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(hwnd) || !search->accept(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindTopLevel(bool (*accept)(HWND)) {
    Search search{accept};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Walk(HWND parent, int depth, std::vector<Control>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        out.push_back({child, KindOf(child), depth});
        Walk(child, depth + 1, out);
    }
}

std::wstring Quote(std::wstring text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') quoted += L"\\n";
        else if (c == L'"' || c == L'\\') quoted += std::wstring(1, L'\\') + c;
        else quoted += c;
    }
    return quoted + L"\"";
}

std::wstring Abbreviated(const std::wstring& text, size_t most) {
    return text.size() <= most ? text : text.substr(0, most) + L"...";
}

}  // namespace

std::wstring g_windowCaption = L" - Install Wizard";

HWND FindWizard() {
    return FindTopLevel([](HWND hwnd) {
        return ClassOf(hwnd) == kWizardClass && TextOf(hwnd).find(g_windowCaption) != std::wstring::npos;
    });
}

HWND FindMessageBox() {
    return FindTopLevel([](HWND hwnd) { return ClassOf(hwnd) == kMessageBoxClass; });
}

std::vector<Control> Controls(HWND top) {
    std::vector<Control> controls;
    Walk(top, 1, controls);
    return controls;
}

ControlKind KindOf(HWND hwnd) {
    const std::wstring name = ClassOf(hwnd);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (name == kPaneClass) return ControlKind::Pane;
    if (_wcsicmp(name.c_str(), WC_BUTTONW) == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
            return ControlKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return ControlKind::Radio;
        default:
            return ControlKind::PushButton;
        }
    }
    if (_wcsicmp(name.c_str(), WC_STATICW) == 0) {
        if ((style & SS_TYPEMASK) == SS_ETCHEDHORZ) return ControlKind::Other;
        return (style & SS_TYPEMASK) == SS_BITMAP || (style & SS_TYPEMASK) == SS_ICON ? ControlKind::Image
                                                                                     : ControlKind::Static;
    }
    if (_wcsicmp(name.c_str(), WC_EDITW) == 0) return ControlKind::Edit;
    if (_wcsicmp(name.c_str(), PROGRESS_CLASSW) == 0) return ControlKind::Progress;
    if (_wcsicmp(name.c_str(), WC_LISTVIEWW) == 0) return ControlKind::List;
    return ControlKind::Other;
}

std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    text.resize(copied);
    return text;
}

std::wstring Shown(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') shown += text[i];
        else if (i + 1 < text.size() && text[i + 1] == L'&') shown += L'&', ++i;
    }
    const size_t first = shown.find_first_not_of(L" \t");
    const size_t last = shown.find_last_not_of(L" \t");
    return first == std::wstring::npos ? L"" : shown.substr(first, last - first + 1);
}

bool SameLabel(const std::wstring& shown, const std::wstring& wanted) {
    return _wcsicmp(Shown(shown).c_str(), Shown(wanted).c_str()) == 0;
}

bool IsChecked(HWND hwnd) { return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsDefaultButton(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

std::wstring HeaderTitle(HWND wizard) {
    const std::wstring header = TextOf(GetWindow(wizard, GW_CHILD));
    return header.substr(0, header.find(L"\r\n"));
}

std::wstring Describe(HWND top) {
    std::wstring out = (ClassOf(top) == kMessageBoxClass ? L"box " : L"popup ") + Quote(TextOf(top)) + L"\n";
    const HWND header = ClassOf(top) == kWizardClass ? GetWindow(top, GW_CHILD) : nullptr;
    for (const Control& control : Controls(top)) {
        if (control.kind == ControlKind::Other || (header && GetParent(control.hwnd) == header)) continue;
        const std::wstring text = TextOf(control.hwnd);
        std::wstring line(size_t(2 * control.depth), L' ');
        const bool disabled = !IsWindowEnabled(control.hwnd);
        switch (control.kind) {
        case ControlKind::Pane:
            if (control.hwnd != header) continue;
            line += L"header " + Quote(text.substr(0, text.find(L"\r\n"))) + L" / " +
                    Quote(text.find(L"\r\n") == std::wstring::npos ? L"" : text.substr(text.find(L"\r\n") + 2));
            break;
        case ControlKind::PushButton:
            line += L"button " + Quote(Shown(text)) + (IsDefaultButton(control.hwnd) ? L" [default]" : L"");
            break;
        case ControlKind::CheckBox:
            line += std::wstring(L"check ") + (IsChecked(control.hwnd) ? L"[x] " : L"[ ] ") + Quote(Shown(text));
            break;
        case ControlKind::Radio:
            line += std::wstring(L"radio ") + (IsChecked(control.hwnd) ? L"(o) " : L"( ) ") + Quote(Shown(text));
            break;
        case ControlKind::Static:
            if (text.empty()) continue;
            line += L"static " + Quote(GetWindowLongW(control.hwnd, GWL_STYLE) & SS_NOPREFIX ? text : Shown(text));
            break;
        case ControlKind::Image:
            line += L"image";
            break;
        case ControlKind::Edit: {
            const bool readOnly = GetWindowLongW(control.hwnd, GWL_STYLE) & ES_READONLY;
            line += std::wstring(L"edit ") + (readOnly ? L"[read-only] " : L"") + Quote(Abbreviated(text, 70));
            break;
        }
        case ControlKind::Progress:
            line += L"progress " + std::to_wstring(SendMessageW(control.hwnd, PBM_GETRANGE, TRUE, 0)) + L".." +
                    std::to_wstring(SendMessageW(control.hwnd, PBM_GETRANGE, FALSE, 0)) + L" at " +
                    std::to_wstring(SendMessageW(control.hwnd, PBM_GETPOS, 0, 0));
            break;
        case ControlKind::List:
            line += L"list " + std::to_wstring(SendMessageW(control.hwnd, LVM_GETITEMCOUNT, 0, 0)) + L" rows";
            break;
        case ControlKind::Other:
            continue;
        }
        out += line + (disabled ? L" [disabled]" : L"") + L"\n";
    }
    return out;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace driver
