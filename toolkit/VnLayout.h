// Layout units and the standard sizes of controls, from the toolkit's font
// metrics, and a column that stacks controls from top to bottom.
#pragma once

#include <string_view>

#include "VnRect.h"

class VnWnd;

class VnLayout {
public:
    static constexpr int32_t kMargin = 11;        // from a window edge to its controls
    static constexpr int32_t kSpacing = 7;        // between related controls
    static constexpr int32_t kParagraph = 14;     // between groups of controls
    static constexpr int32_t kIndent = 18;        // text under a check box or radio button
    static constexpr int32_t kButtonWidth = 75;   // standard push button
    static constexpr int32_t kMinButtonWidth = 70;
    static constexpr int32_t kIconSize = 32;

    // Height of one line of text in the message font (or its bold form).
    static int32_t LineHeight(bool bold = false);
    // Width of the text on one line.
    static int32_t TextWidth(std::u16string_view text, bool bold = false);
    // Height of the text wrapped at words to the width.
    static int32_t TextHeight(std::u16string_view text, int32_t width, bool bold = false);
    static int32_t ButtonHeight();
    static int32_t CheckHeight();  // one line of check box or radio button
    static int32_t EditHeight();   // one-line edit box
    // A push button wide enough for its label, at least kButtonWidth.
    static int32_t ButtonWidth(std::u16string_view label);
};

// Hands out full-width rectangles from the top of an area downwards.
class VnColumn {
public:
    explicit VnColumn(const VnRect& area) : area_(area), top_(area.top) {}
    int32_t Left() const { return area_.left; }
    int32_t Width() const { return area_.Width(); }
    int32_t Top() const { return top_; }
    int32_t Remaining() const { return area_.bottom - top_; }
    // The next `height` units of the column.
    VnRect Take(int32_t height, int32_t indent = 0);
    // Places the window at its preferred height for the column's width.
    VnRect Place(VnWnd& wnd, int32_t indent = 0);
    // Gives the window everything down to `bottomReserve` above the end.
    VnRect Fill(VnWnd& wnd, int32_t bottomReserve = 0);
    void Skip(int32_t gap) { top_ += gap; }

private:
    VnRect area_;
    int32_t top_;
};
