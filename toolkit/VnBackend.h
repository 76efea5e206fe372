// What each implementation of the toolkit provides (toolkit/win32/ and
// toolkit/headless/). Only the toolkit's own sources include this.
#pragma once

#include <cstdint>
#include <string_view>

#include "VnString.h"

class VnWnd;
class VnPopupWnd;
class VnProgressCtrl;
class VnReportCtrl;
class VnImageCtrl;

struct VnBackend {
    // The implementation's own helpers; as members they share VnBackend's
    // access to the windows' state.
    struct Native;

    static bool Initialize();
    static void Shutdown();
    static uint64_t TickCount();
    static bool Pump();
    static int32_t Dpi();

    // The real window of `wnd`, inside its parent's (a popup: owned by its owner's).
    static bool CreateNative(VnWnd& wnd);
    static void DestroyNative(VnWnd& wnd);
    static void ApplyText(VnWnd& wnd);
    static bool ReadText(const VnWnd& wnd, VnString& text);
    static void ApplyEnabled(VnWnd& wnd);
    static void ApplyVisible(VnWnd& wnd);
    static void ApplyRect(VnWnd& wnd);
    static void ApplyFont(VnWnd& wnd);
    static void ApplyChecked(VnWnd& wnd);
    static bool ReadChecked(const VnWnd& wnd, bool& checked);
    static void SetFocus(VnWnd& wnd);
    static bool HasFocus(const VnWnd& wnd);
    static void SetRedraw(VnWnd& wnd, bool redraw);
    static bool SetTimer(VnWnd& wnd, uint32_t id, uint32_t milliseconds);
    static bool KillTimer(VnWnd& wnd, uint32_t id);
    static bool PostMessage(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    static intptr_t SendMessage(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    static intptr_t DefaultProc(VnWnd& wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    // Presses a button, check box or radio button as a mouse click does.
    static bool Click(VnWnd& wnd);

    static void FitPopup(VnPopupWnd& popup);
    static void RunModal(VnPopupWnd& popup);
    static void WakeModal(VnPopupWnd& popup);
    static bool SetPopupIcon(VnPopupWnd& popup, const VnString& path);
    static void ApplyDefaultButton(VnPopupWnd& popup, VnWnd* previous);

    static int32_t LineHeight(bool bold);
    static int32_t TextWidth(std::u16string_view text, bool bold);
    static int32_t TextHeight(std::u16string_view text, int32_t width, bool bold);

    static void ApplyProgress(VnProgressCtrl& progress);
    // The whole list again (columns, groups, rows), or one row's texts and check.
    static void RebuildReport(VnReportCtrl& report);
    static void ApplyReportItem(VnReportCtrl& report, int32_t item);
    static bool ReadReportChecked(const VnReportCtrl& report, int32_t item, bool& checked);
    static bool LoadImage(VnImageCtrl& image, const VnString& path);
    static bool BrowseForFolder(VnWnd& owner, const VnString& title, VnString& folder);
};
