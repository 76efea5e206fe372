// wizard_driver.exe: works the install wizard's real window from outside, as
// a person would, through ordinary window messages. One command per run:
//
//   wizard_driver [--timeout SECONDS] [--window CAPTION] COMMAND [ARGUMENTS]
//     (--window: the window whose caption holds CAPTION, " - Install Wizard" unless given)
//     describe               print the current page: caption, header, every control
//     wait-title TITLE       wait until the header's title is TITLE, then describe
//     wait-caption TEXT      wait until the window caption contains TEXT
//     wait-text LABEL        wait until a control shows LABEL, then describe
//     press LABEL            press the push button LABEL ("Next >", "Accept", ...)
//     tick LABEL [on|off]    set the check box LABEL (on unless said)
//     choose LABEL           choose the radio button LABEL
//     type LABEL TEXT        replace the text of the edit box after the static text LABEL
//     wait-box               wait for a message box and print it
//     answer BUTTON          wait for a message box, print it, press its button BUTTON
//     key-box KEY            wait for a message box, print it, type Enter, Esc, Tab or an access key
//     no-box SECONDS         fail when a message box comes within SECONDS
//     wait-gone              wait until the wizard window has closed
//     capture FILE.bmp       save a picture of the wizard (and a box over it)
//     rows                   print the page's list: "groups N" (list-view groups or heading rows),
//                            then each row: its group's number, [x], texts
//     key-row LABEL [on|off] tick the list row LABEL with Tab, arrows and Space
//
// Exit status 0 when the command did what it says, 1 when not, 2 for bad usage.
#include <cstdio>
#include <cwchar>
#include <string>

#include "DriverActions.h"
#include "DriverWindows.h"

namespace {

int Usage() {
    std::fputs("usage: wizard_driver [--timeout SECONDS] [--window CAPTION] describe | wait-title TITLE | wait-caption TEXT | wait-text LABEL |"
               " press LABEL |"
               " tick LABEL [on|off] | choose LABEL | type LABEL TEXT | wait-box | answer BUTTON | key-box KEY | no-box SECONDS | wait-gone |"
               " capture FILE.bmp | rows | key-row LABEL [on|off]\n",
               stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int at = 1;
    for (; at + 1 < argc && argv[at][0] == L'-' && argv[at][1] == L'-'; at += 2) {
        if (std::wcscmp(argv[at], L"--timeout") == 0) driver::g_timeoutSeconds = _wtoi(argv[at + 1]);
        else if (std::wcscmp(argv[at], L"--window") == 0) driver::g_windowCaption = argv[at + 1];
        else return Usage();
    }
    if (at >= argc) return Usage();
    const std::wstring command = argv[at];
    const int count = argc - at - 1;
    auto arg = [&](int i) { return std::wstring(argv[at + 1 + i]); };
    bool ok = false;
    if (command == L"describe" && count == 0) ok = driver::DescribePage();
    else if (command == L"wait-title" && count == 1) ok = driver::WaitForTitle(arg(0));
    else if (command == L"wait-caption" && count == 1) ok = driver::WaitForCaption(arg(0));
    else if (command == L"wait-text" && count == 1) ok = driver::WaitForText(arg(0));
    else if (command == L"press" && count == 1) ok = driver::PressButton(arg(0));
    else if (command == L"tick" && (count == 1 || count == 2)) ok = driver::TickBox(arg(0), count == 1 || arg(1) != L"off");
    else if (command == L"choose" && count == 1) ok = driver::ChooseRadio(arg(0));
    else if (command == L"type" && count == 2) ok = driver::TypeInto(arg(0), arg(1));
    else if (command == L"wait-box" && count == 0) ok = driver::WaitForBox();
    else if (command == L"answer" && count == 1) ok = driver::AnswerBox(arg(0));
    else if (command == L"key-box" && count == 1) ok = driver::KeyIntoBox(arg(0));
    else if (command == L"no-box" && count == 1) ok = driver::NoBoxFor(_wtoi(arg(0).c_str()));
    else if (command == L"wait-gone" && count == 0) ok = driver::WaitUntilGone();
    else if (command == L"capture" && count == 1) ok = driver::Capture(arg(0));
    else if (command == L"rows" && count == 0) ok = driver::ListRows();
    else if (command == L"key-row" && (count == 1 || count == 2))
        ok = driver::TickRowByKeyboard(arg(0), count == 1 || arg(1) != L"off");
    else return Usage();
    return ok ? 0 : 1;
}
