// What the wizard driver knows of windows: the install wizard's window and
// the message boxes of the installer found from outside the process, their
// controls walked in tab order, and the state of each control read through
// ordinary window messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

enum class ControlKind { Pane, PushButton, CheckBox, Radio, Static, Image, Edit, Progress, List, Other };

struct Control {
    HWND hwnd;
    ControlKind kind;
    int depth;  // below the top-level window
};

// The part of the caption that names the window worked: " - Install Wizard"
// unless "--window" gave another (" Uninstall" for the uninstaller).
extern std::wstring g_windowCaption;

// The visible wizard window ("VnPopupWnd" whose caption holds
// g_windowCaption), or null.
HWND FindWizard();
// A visible standard message box ("#32770"), or null.
HWND FindMessageBox();

// The window's visible descendants in tab order (creation order).
std::vector<Control> Controls(HWND top);
ControlKind KindOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);
// The text as shown: mnemonic markers removed, blanks around it trimmed.
std::wstring Shown(const std::wstring& text);
bool SameLabel(const std::wstring& shown, const std::wstring& wanted);
bool IsChecked(HWND hwnd);
bool IsDefaultButton(HWND hwnd);

// The header band's title and subtitle (the first pane of the wizard).
std::wstring HeaderTitle(HWND wizard);
// One line per control, as in: popup "caption" / header "title" / "subtitle" /
// button "Next >" [disabled] [default] / check [x] "label" / radio (o) "label" /
// static "text" / edit [read-only] "text" / progress 0..100 at 5 / list 3 rows.
std::wstring Describe(HWND top);

std::string Utf8(const std::wstring& text);

}  // namespace driver
