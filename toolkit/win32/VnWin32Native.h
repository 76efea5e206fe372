// The Win32 implementation's shared state and helpers: window classes,
// fonts, the DPI and the conversion of layout units to pixels, the window
// procedure of the toolkit's own windows, and the message dispatch of the
// modal loop and the pump.
#pragma once

#include "VnWin32Api.h"

#include "VnBackend.h"
#include "VnWnd.h"

class VnReportCtrl;
class VnImageCtrl;

struct VnBackend::Native {
    static inline const wchar_t kPopupClass[] = L"VnPopupWnd";
    static inline const wchar_t kPaneClass[] = L"VnPaneWnd";

    // Process-wide state, made by Initialize.
    static inline bool initialized = false;
    static inline bool comStarted = false;   // CoInitializeEx done by the toolkit itself
    static inline ATOM popupAtom = 0;
    static inline ATOM paneAtom = 0;
    static inline HFONT font = nullptr;
    static inline HFONT boldFont = nullptr;
    static inline bool ownFonts = false;
    static inline HDC measureDc = nullptr;
    // The system DPI. The program's manifest declares system DPI awareness,
    // so every window has this one (GetDpiForWindow would answer the same).
    static inline int dpi = 96;
    // Report list changes made by the toolkit itself are not news for the page.
    static inline int quietReport = 0;

    static HWND Hwnd(const VnWnd& wnd) { return static_cast<HWND>(wnd.native_); }
    static VnWnd* FromHwnd(HWND hwnd);
    static VnWnd* ChildByHwnd(const VnWnd& parent, HWND child);
    static HFONT Font(bool bold) { return bold ? boldFont : font; }
    static int ToPixels(int units) { return MulDiv(units, dpi, 96); }
    static int ToUnits(int pixels) { return (pixels * 96 + dpi - 1) / dpi; }
    static RECT PixelRect(const VnRect& rect);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT OwnMessage(VnWnd& wnd, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    static bool IsOwnPopup(HWND hwnd);
    // One message of the loop: keyboard navigation of our popups, then dispatch.
    static void Dispatch(MSG& msg);
    static bool FilterMultiLineEditKeys(MSG& msg, HWND popup);
    static void SaveFocus(HWND popup);
    static void RestoreFocus(HWND popup);

    static bool StartFonts();
    // CoCreateInstance, starting COM on this thread when nobody has.
    static HRESULT CreateInstance(REFCLSID clsid, REFIID iid, void** object);
    static void ReleaseWindowResources(VnWnd& wnd);

    // Report lists.
    // What the parent answers to a list view's notification.
    static LRESULT OnReportNotify(VnWnd& parent, NMHDR& header);
    static void SizeReportColumns(VnReportCtrl& report);
    // Pictures: the image's file decoded, scaled to fit the control, on its background.
    static HBITMAP RenderPicture(const VnString& path, int width, int height, COLORREF background, bool& readable);
    static bool ShowPicture(VnImageCtrl& image, const VnString& path);
    static COLORREF BackgroundOf(const VnWnd& wnd);
};
