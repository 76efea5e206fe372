// The wizard driver's commands. Each waits up to the time-out for what it
// needs (the wizard, a page, a message box), prints what it saw on success
// and returns true, or prints why it failed and returns false.
#pragma once

#include <string>

namespace driver {

extern int g_timeoutSeconds;

bool DescribePage();
bool WaitForTitle(const std::wstring& title);
bool WaitForCaption(const std::wstring& part);
bool WaitForText(const std::wstring& label);
bool PressButton(const std::wstring& label);
bool TickBox(const std::wstring& label, bool checked);
bool ChooseRadio(const std::wstring& label);
bool TypeInto(const std::wstring& label, const std::wstring& text);
bool WaitForBox();
bool AnswerBox(const std::wstring& button);
// Types a key into the message box as the keyboard does: "Enter", "Esc",
// "Tab", or one character (an access key).
bool KeyIntoBox(const std::wstring& key);
bool NoBoxFor(int seconds);
bool WaitUntilGone();
bool Capture(const std::wstring& bmpFile);
// The page's report list: "groups N", then one line per row,
// "row GROUP [x] "text" "text" "text"" (DriverList.cpp).
bool ListRows();
// Ticks (or clears) the list row LABEL with the keyboard alone: Tab to the
// list, Home and Down to the row, Space.
bool TickRowByKeyboard(const std::wstring& label, bool checked);

}  // namespace driver
