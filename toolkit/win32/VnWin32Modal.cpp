// The modal loop, the message pump and the popup's window-level settings:
// size and place, icon, default button and keyboard focus.
#include "VnWin32Native.h"

#include <algorithm>

#include "VnPopupWnd.h"

namespace {
const wchar_t kSavedFocus[] = L"VnSavedFocus";

bool IsMultiLineEdit(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, WC_EDITW) == 0 && (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_MULTILINE);
}
}  // namespace

bool VnBackend::Native::IsOwnPopup(HWND hwnd) {
    return hwnd && ATOM(GetClassLongPtrW(hwnd, GCW_ATOM)) == popupAtom;
}

// A multi-line edit box would keep Tab, Enter and Esc for itself; in our
// popups they navigate, press the default button and cancel, as everywhere else.
bool VnBackend::Native::FilterMultiLineEditKeys(MSG& msg, HWND popup) {
    if (msg.message != WM_KEYDOWN || !IsMultiLineEdit(msg.hwnd)) return false;
    switch (msg.wParam) {
    case VK_TAB: {
        if (GetKeyState(VK_CONTROL) < 0) return false;
        if (HWND next = GetNextDlgTabItem(popup, msg.hwnd, GetKeyState(VK_SHIFT) < 0)) ::SetFocus(next);
        return true;
    }
    case VK_RETURN: {
        const LRESULT def = SendMessageW(popup, DM_GETDEFID, 0, 0);
        if (HIWORD(def) != DC_HASDEFID) return true;
        HWND button = GetDlgItem(popup, LOWORD(def));
        if (button && IsWindowEnabled(button) && IsWindowVisible(button))
            SendMessageW(popup, WM_COMMAND, MAKEWPARAM(LOWORD(def), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return true;
    }
    case VK_ESCAPE:
        SendMessageW(popup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(popup, IDCANCEL)));
        return true;
    default:
        return false;
    }
}

void VnBackend::Native::Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (IsOwnPopup(root)) {
        if (FilterMultiLineEditKeys(msg, root)) return;
        if (IsDialogMessageW(root, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void VnBackend::RunModal(VnPopupWnd& popup) {
    HWND owner = popup.owner_ && popup.owner_->native_ ? GetAncestor(Native::Hwnd(*popup.owner_), GA_ROOT) : nullptr;
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    HWND hwnd = Native::Hwnd(popup);
    SetForegroundWindow(hwnd);
    MSG msg;
    while (!popup.ended_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));  // the loop that owns the quit sees it too
            break;
        }
        if (got < 0) break;
        Native::Dispatch(msg);
    }
    // The owner comes back before the popup goes, so that it is activated.
    if (disableOwner) EnableWindow(owner, TRUE);
}

void VnBackend::WakeModal(VnPopupWnd& popup) { PostMessageW(Native::Hwnd(popup), WM_NULL, 0, 0); }

bool VnBackend::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return false;
        }
        Native::Dispatch(msg);
    }
    return true;
}

void VnBackend::FitPopup(VnPopupWnd& popup) {
    HWND hwnd = Native::Hwnd(popup);
    RECT frame{0, 0, Native::ToPixels(popup.rect_.Width()), Native::ToPixels(popup.rect_.Height())};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred over the owner, or on the work area of the primary screen.
    RECT around;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &around))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    const int x = std::max<int>(around.left, around.left + (around.right - around.left - width) / 2);
    const int y = std::max<int>(around.top, around.top + (around.bottom - around.top - height) / 2);
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool VnBackend::SetPopupIcon(VnPopupWnd& popup, const VnString& path) {
    HWND hwnd = Native::Hwnd(popup);
    const int big = Native::ToPixels(32);
    const int small = GetSystemMetrics(SM_CXSMICON);
    HANDLE bigIcon = LoadImageW(nullptr, VnWide(path), IMAGE_ICON, big, big, LR_LOADFROMFILE);
    HANDLE smallIcon = LoadImageW(nullptr, VnWide(path), IMAGE_ICON, small, small, LR_LOADFROMFILE);
    for (auto [which, icon] : {std::pair{ICON_BIG, bigIcon}, std::pair{ICON_SMALL, smallIcon}}) {
        HANDLE old = reinterpret_cast<HANDLE>(SendMessageW(hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
        if (old) DestroyIcon(static_cast<HICON>(old));
    }
    return bigIcon != nullptr;
}

void VnBackend::ApplyDefaultButton(VnPopupWnd& popup, VnWnd* previous) {
    if (previous && previous->native_ && previous != popup.defaultButton_)
        SendMessageW(Native::Hwnd(*previous), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (popup.defaultButton_ && popup.defaultButton_->native_)
        SendMessageW(Native::Hwnd(*popup.defaultButton_), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void VnBackend::Native::SaveFocus(HWND popup) {
    HWND focus = GetFocus();
    if (focus && IsChild(popup, focus)) SetPropW(popup, kSavedFocus, focus);
}

void VnBackend::Native::RestoreFocus(HWND popup) {
    HWND focus = static_cast<HWND>(GetPropW(popup, kSavedFocus));
    if (!focus || !IsWindow(focus) || !IsChild(popup, focus) || !IsWindowVisible(focus) || !IsWindowEnabled(focus))
        focus = GetNextDlgTabItem(popup, nullptr, FALSE);
    ::SetFocus(focus ? focus : popup);
}
