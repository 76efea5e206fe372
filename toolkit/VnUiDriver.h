// VnUiDriver: acts on windows as a user would, by the labels the user sees,
// and describes what is on screen. It works on both implementations: on
// Windows every action goes through the real controls' messages.
//
// Labels match case-insensitively, without mnemonic markers and surrounding
// blanks ("&Next >" is found as "next >"). Only windows on screen and, for
// actions, enabled count.
#pragma once

#include <optional>

#include "VnWnd.h"

class VnUiDriver {
public:
    // Acts on `root`, or on VnPopupWnd::GetActivePopup() at each call when null.
    explicit VnUiDriver(VnWnd* root = nullptr) : root_(root) {}

    VnWnd* GetRoot() const;
    // The first window on screen, in tab order, whose display text matches.
    VnWnd* Find(std::u16string_view label, std::optional<VnWndKind> kind = {}) const;

    // A push button by its label.
    bool Press(std::u16string_view label);
    // A check box by its label, or else a report row by its first column;
    // clicks only when the state differs.
    bool Tick(std::u16string_view label, bool checked = true);
    // A radio button by its label.
    bool Choose(std::u16string_view label);
    // Replaces the text of the edit box (or path box) that follows the
    // static text `label`; an empty label means the first editable box.
    bool Type(std::u16string_view label, const VnString& text);
    // The close box of the window (kVnMsgSysCommand with close).
    bool CloseWindow();
    // The Esc key: kVnMsgCommand with kVnIdCancel.
    bool PressEscape();
    // The Enter key: the default button, when it is enabled.
    bool PressEnter();

    // One line per window on screen, in tab order:
    //   popup "caption", header "title" / "subtitle", static "text",
    //   button "label" [disabled] [default], check [x] "label",
    //   radio (o) "label", edit [read-only] "text", path "folder" [button],
    //   progress min..max at pos, image "file", list with its groups and rows.
    VnString Describe() const;

    // Why the last action returned false.
    const VnString& GetLastError() const { return lastError_; }

private:
    bool Fail(const VnString& why);
    VnWnd* FindEnabled(std::u16string_view label, VnWndKind kind, std::u16string_view what);
    VnWnd* root_;
    VnString lastError_;
};
