// The Win32 toolkit's windows: the two window classes of our own (popup and
// pane), standard controls for everything else, and the window procedure
// that hands messages to the VnWnd models.
#include "VnWin32Native.h"

#include "VnEditCtrl.h"
#include "VnPopupWnd.h"
#include "VnProgressCtrl.h"
#include "VnReportCtrl.h"
#include "VnStatic.h"

namespace {

struct Design {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

Design DesignOf(const VnWnd& wnd) {
    const bool readOnly = wnd.HasOption(kVnOptReadOnly);
    switch (wnd.GetKind()) {
    case VnWndKind::Popup:
        return {VnBackend::Native::kPopupClass, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                WS_EX_CONTROLPARENT};
    case VnWndKind::Pane:
        return {VnBackend::Native::kPaneClass, WS_CHILD | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case VnWndKind::Button:
        return {WC_BUTTONW, DWORD(wnd.HasOption(kVnOptDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case VnWndKind::Checkbox:
        return {WC_BUTTONW, BS_AUTOCHECKBOX | BS_MULTILINE, 0};
    case VnWndKind::Radio:
        return {WC_BUTTONW, BS_AUTORADIOBUTTON | BS_MULTILINE, 0};
    case VnWndKind::Static:
        return {WC_STATICW,
                DWORD(SS_LEFT | (wnd.HasOption(kVnOptMnemonic) ? 0 : SS_NOPREFIX) |
                      (wnd.HasOption(kVnOptCenter) ? SS_CENTER : 0)),
                0};
    case VnWndKind::Image:
        return {WC_STATICW, SS_BITMAP, 0};
    case VnWndKind::Edit:
        if (wnd.HasOption(kVnOptMultiLine))
            return {WC_EDITW, DWORD(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | (readOnly ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        return {WC_EDITW, DWORD(ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0)), WS_EX_CLIENTEDGE};
    case VnWndKind::Progress:
        return {PROGRESS_CLASSW, 0, 0};
    case VnWndKind::Report:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_NOSORTHEADER, WS_EX_CLIENTEDGE};
    case VnWndKind::Separator:
        return {WC_STATICW, SS_ETCHEDHORZ, 0};
    }
    return {WC_STATICW, 0, 0};
}

bool HasWindowText(VnWndKind kind) { return kind != VnWndKind::Image && kind != VnWndKind::Separator; }

ATOM RegisterOwnClass(const wchar_t* name, HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = VnBackend::Native::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc);
}

}  // namespace

bool VnBackend::Initialize() {
    if (Native::initialized) return true;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Native::popupAtom = RegisterOwnClass(Native::kPopupClass, instance);
    Native::paneAtom = RegisterOwnClass(Native::kPaneClass, instance);
    if (!Native::popupAtom || !Native::paneAtom) {
        Shutdown();
        return false;
    }
    HDC screen = GetDC(nullptr);
    Native::dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (Native::dpi <= 0) Native::dpi = 96;
    if (screen) ReleaseDC(nullptr, screen);
    Native::measureDc = CreateCompatibleDC(nullptr);
    Native::StartFonts();
    Native::initialized = true;
    return true;
}

void VnBackend::Shutdown() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (Native::popupAtom) UnregisterClassW(Native::kPopupClass, instance);
    if (Native::paneAtom) UnregisterClassW(Native::kPaneClass, instance);
    Native::popupAtom = Native::paneAtom = 0;
    if (Native::ownFonts) {
        DeleteObject(Native::font);
        DeleteObject(Native::boldFont);
    }
    Native::font = Native::boldFont = nullptr;
    Native::ownFonts = false;
    if (Native::measureDc) DeleteDC(Native::measureDc);
    Native::measureDc = nullptr;
    if (Native::comStarted) CoUninitialize();
    Native::comStarted = false;
    Native::initialized = false;
}

uint64_t VnBackend::TickCount() { return GetTickCount64(); }

int32_t VnBackend::Dpi() {
    if (!Native::initialized) Initialize();
    return Native::dpi;
}

RECT VnBackend::Native::PixelRect(const VnRect& rect) {
    return RECT{ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.right), ToPixels(rect.bottom)};
}

VnWnd* VnBackend::Native::FromHwnd(HWND hwnd) {
    const ATOM atom = ATOM(GetClassLongPtrW(hwnd, GCW_ATOM));
    if (atom != popupAtom && atom != paneAtom) return nullptr;
    return reinterpret_cast<VnWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

VnWnd* VnBackend::Native::ChildByHwnd(const VnWnd& parent, HWND child) {
    for (VnWnd* wnd : parent.children_)
        if (wnd->native_ == child) return wnd;
    return nullptr;
}

bool VnBackend::CreateNative(VnWnd& wnd) {
    if (!Initialize()) return false;
    const Design design = DesignOf(wnd);
    DWORD style = design.style;
    if (wnd.visible_ && wnd.kind_ != VnWndKind::Popup) style |= WS_VISIBLE;
    if (!wnd.enabled_) style |= WS_DISABLED;
    HWND parent = nullptr;
    HMENU id = nullptr;
    RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (wnd.kind_ == VnWndKind::Popup) {
        auto& popup = static_cast<VnPopupWnd&>(wnd);
        parent = popup.owner_ ? Native::Hwnd(*popup.owner_) : nullptr;
        if (parent) parent = GetAncestor(parent, GA_ROOT);
    } else {
        parent = Native::Hwnd(*wnd.parent_);
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        if (wnd.IsTabStop()) style |= WS_TABSTOP;
        if (wnd.StartsGroup()) style |= WS_GROUP;
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(wnd.id_));
        rect = Native::PixelRect(wnd.rect_);
        rect.right -= rect.left;
        rect.bottom -= rect.top;
    }
    const bool own = wnd.kind_ == VnWndKind::Popup || wnd.kind_ == VnWndKind::Pane;
    const VnString text = HasWindowText(wnd.kind_) ? wnd.text_ : VnString();
    HWND hwnd = CreateWindowExW(design.exStyle, design.className, VnWide(text), style, rect.left, rect.top, rect.right,
                                rect.bottom, parent, id, GetModuleHandleW(nullptr), own ? &wnd : nullptr);
    if (!hwnd) {
        wnd.native_ = nullptr;
        return false;
    }
    wnd.native_ = hwnd;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Native::Font(wnd.HasOption(kVnOptBold))), FALSE);
    switch (wnd.kind_) {
    case VnWndKind::Checkbox:
    case VnWndKind::Radio:
        ApplyChecked(wnd);
        break;
    case VnWndKind::Progress:
        ApplyProgress(static_cast<VnProgressCtrl&>(wnd));
        break;
    case VnWndKind::Report: {
        DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
        if (wnd.HasOption(kVnOptCheckBoxes)) ex |= LVS_EX_CHECKBOXES;
        SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
        RebuildReport(static_cast<VnReportCtrl&>(wnd));
        break;
    }
    case VnWndKind::Edit:
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // no 30 000-character cap
        break;
    default:
        break;
    }
    return true;
}

void VnBackend::Native::ReleaseWindowResources(VnWnd& wnd) {
    for (VnWnd* child : wnd.children_)
        if (child->native_) ReleaseWindowResources(*child);
    HWND hwnd = Hwnd(wnd);
    if (wnd.kind_ == VnWndKind::Image) {
        if (HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, 0)))
            DeleteObject(bitmap);
    } else if (wnd.kind_ == VnWndKind::Popup) {
        for (WPARAM which : {WPARAM(ICON_BIG), WPARAM(ICON_SMALL)})
            if (HICON icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_SETICON, which, 0))) DestroyIcon(icon);
    }
}

void VnBackend::DestroyNative(VnWnd& wnd) {
    HWND hwnd = Native::Hwnd(wnd);
    Native::ReleaseWindowResources(wnd);
    // Our own windows forget their model first: the model is being taken apart.
    if (Native::FromHwnd(hwnd) == &wnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

void VnBackend::ApplyText(VnWnd& wnd) {
    if (HasWindowText(wnd.kind_)) SetWindowTextW(Native::Hwnd(wnd), VnWide(wnd.text_));
}

bool VnBackend::ReadText(const VnWnd& wnd, VnString& text) {
    if (wnd.kind_ != VnWndKind::Edit) return false;
    HWND hwnd = Native::Hwnd(wnd);
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring buffer(size_t(length) + 1, L'\0');
    const int read = GetWindowTextW(hwnd, buffer.data(), length + 1);
    text = VnFromWide(buffer.c_str(), read);
    return true;
}

void VnBackend::ApplyEnabled(VnWnd& wnd) { EnableWindow(Native::Hwnd(wnd), wnd.enabled_ ? TRUE : FALSE); }

void VnBackend::ApplyVisible(VnWnd& wnd) { ShowWindow(Native::Hwnd(wnd), wnd.visible_ ? SW_SHOW : SW_HIDE); }

void VnBackend::ApplyRect(VnWnd& wnd) {
    if (wnd.kind_ == VnWndKind::Popup) {
        FitPopup(static_cast<VnPopupWnd&>(wnd));
        return;
    }
    const RECT rect = Native::PixelRect(wnd.rect_);
    SetWindowPos(Native::Hwnd(wnd), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (wnd.kind_ == VnWndKind::Report) Native::SizeReportColumns(static_cast<VnReportCtrl&>(wnd));
    if (wnd.kind_ == VnWndKind::Image) {
        auto& image = static_cast<VnImageCtrl&>(wnd);
        if (!image.imageFile_.IsEmpty()) Native::ShowPicture(image, image.imageFile_);
    }
}

void VnBackend::ApplyFont(VnWnd& wnd) {
    SendMessageW(Native::Hwnd(wnd), WM_SETFONT, reinterpret_cast<WPARAM>(Native::Font(wnd.HasOption(kVnOptBold))), TRUE);
}

void VnBackend::ApplyChecked(VnWnd& wnd) {
    SendMessageW(Native::Hwnd(wnd), BM_SETCHECK, wnd.checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool VnBackend::ReadChecked(const VnWnd& wnd, bool& checked) {
    if (wnd.kind_ != VnWndKind::Checkbox && wnd.kind_ != VnWndKind::Radio) return false;
    checked = SendMessageW(Native::Hwnd(wnd), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return true;
}

void VnBackend::SetFocus(VnWnd& wnd) { ::SetFocus(Native::Hwnd(wnd)); }

bool VnBackend::HasFocus(const VnWnd& wnd) { return GetFocus() == Native::Hwnd(wnd); }

void VnBackend::SetRedraw(VnWnd& wnd, bool redraw) {
    // WM_SETREDRAW TRUE makes a window visible: only a window on screen is
    // suspended, and only a suspended one resumed.
    static const wchar_t kSuspended[] = L"VnRedrawSuspended";
    HWND hwnd = Native::Hwnd(wnd);
    if (!redraw) {
        if (!IsWindowVisible(hwnd) || GetPropW(hwnd, kSuspended)) return;
        SetPropW(hwnd, kSuspended, reinterpret_cast<HANDLE>(1));
        SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    } else if (RemovePropW(hwnd, kSuspended)) {
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

bool VnBackend::SetTimer(VnWnd& wnd, uint32_t id, uint32_t milliseconds) {
    return ::SetTimer(Native::Hwnd(wnd), id, milliseconds, nullptr) != 0;
}

bool VnBackend::KillTimer(VnWnd& wnd, uint32_t id) { return ::KillTimer(Native::Hwnd(wnd), id) != 0; }

bool VnBackend::PostMessage(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return PostMessageW(Native::Hwnd(wnd), msg, wParam, lParam) != 0;
}

intptr_t VnBackend::SendMessage(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return SendMessageW(Native::Hwnd(wnd), msg, wParam, lParam);
}

intptr_t VnBackend::DefaultProc(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return DefWindowProcW(Native::Hwnd(wnd), msg, wParam, lParam);
}

bool VnBackend::Click(VnWnd& wnd) {
    SendMessageW(Native::Hwnd(wnd), BM_CLICK, 0, 0);
    return true;
}

COLORREF VnBackend::Native::BackgroundOf(const VnWnd& wnd) {
    for (const VnWnd* w = &wnd; w; w = w->parent_)
        if (w->HasOption(kVnOptWhiteBackground)) return GetSysColor(COLOR_WINDOW);
    return GetSysColor(COLOR_BTNFACE);
}

LRESULT VnBackend::Native::OwnMessage(VnWnd& wnd, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd, &client);
        const bool white = wnd.HasOption(kVnOptWhiteBackground);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(white ? COLOR_WINDOW : COLOR_BTNFACE));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        // The header band is white, and so is a read-only edit box (the
        // licence text reads better on paper than on the dialog colour).
        VnWnd* child = ChildByHwnd(wnd, reinterpret_cast<HWND>(lParam));
        const bool white = wnd.HasOption(kVnOptWhiteBackground) || (child && child->kind_ == VnWndKind::Edit);
        if (!white) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_NOTIFY:
        return OnReportNotify(wnd, *reinterpret_cast<NMHDR*>(lParam));
    case DM_GETDEFID:
        if (wnd.kind_ == VnWndKind::Popup) {
            VnWnd* button = static_cast<VnPopupWnd&>(wnd).defaultButton_;
            return button ? MAKELRESULT(button->id_, DC_HASDEFID) : 0;
        }
        break;
    case WM_ACTIVATE:
        if (wnd.kind_ == VnWndKind::Popup) {
            if (LOWORD(wParam) == WA_INACTIVE) SaveFocus(hwnd);
            else RestoreFocus(hwnd);
            return 0;
        }
        break;
    case WM_CLOSE:
        // A pane is never closed on its own (a multi-line edit sends its
        // parent WM_CLOSE on Esc); the popup decides in its model.
        if (wnd.kind_ == VnWndKind::Pane) return 0;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (wnd.native_ == hwnd) wnd.ForgetNative();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    default:
        break;
    }
    handled = false;
    return 0;
}

LRESULT CALLBACK VnBackend::Native::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* wnd = static_cast<VnWnd*>(create->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wnd));
        if (wnd) wnd->native_ = hwnd;  // messages of the creation already reach the model
    }
    VnWnd* wnd = reinterpret_cast<VnWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!wnd) return DefWindowProcW(hwnd, msg, wParam, lParam);
    bool handled = false;
    const LRESULT result = OwnMessage(*wnd, hwnd, msg, wParam, lParam, handled);
    if (handled) return result;
    return wnd->WindowProc(msg, wParam, lParam);
}

void VnBackend::ApplyProgress(VnProgressCtrl& progress) {
    HWND bar = Native::Hwnd(progress);
    SendMessageW(bar, PBM_SETRANGE32, WPARAM(progress.minimum_), LPARAM(progress.maximum_));
    SendMessageW(bar, PBM_SETPOS, WPARAM(progress.position_), 0);
}
