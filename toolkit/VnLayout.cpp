#include "VnLayout.h"

#include <algorithm>

#include "VnBackend.h"
#include "VnWnd.h"

int32_t VnLayout::LineHeight(bool bold) { return VnBackend::LineHeight(bold); }

int32_t VnLayout::TextWidth(std::u16string_view text, bool bold) { return VnBackend::TextWidth(text, bold); }

int32_t VnLayout::TextHeight(std::u16string_view text, int32_t width, bool bold) {
    if (text.empty()) return LineHeight(bold);
    return VnBackend::TextHeight(text, std::max(width, 1), bold);
}

int32_t VnLayout::ButtonHeight() { return std::max(23, LineHeight() + 10); }

int32_t VnLayout::CheckHeight() { return std::max(17, LineHeight() + 4); }

int32_t VnLayout::EditHeight() { return std::max(21, LineHeight() + 8); }

int32_t VnLayout::ButtonWidth(std::u16string_view label) {
    return std::max(kButtonWidth, TextWidth(VnWnd::StripMnemonic(label)) + 2 * kMargin);
}

VnRect VnColumn::Take(int32_t height, int32_t indent) {
    const VnRect rect{area_.left + indent, top_, area_.right, top_ + std::max(height, 0)};
    top_ = rect.bottom;
    return rect;
}

VnRect VnColumn::Place(VnWnd& wnd, int32_t indent) {
    const VnRect rect = Take(wnd.GetPreferredHeight(Width() - indent), indent);
    wnd.SetRect(rect);
    return rect;
}

VnRect VnColumn::Fill(VnWnd& wnd, int32_t bottomReserve) {
    const VnRect rect = Take(std::max(area_.bottom - bottomReserve - top_, 0));
    wnd.SetRect(rect);
    return rect;
}
