// Fonts and text measurement: the system's message font and its bold form,
// measured in layout units.
#include "VnWin32Native.h"

#include <algorithm>

bool VnBackend::Native::StartFonts() {
    // The structure grew in Vista; older systems want it without the last field.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    bool ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    if (!ok) {
        metrics.cbSize = sizeof(metrics) - sizeof(metrics.iPaddedBorderWidth);
        ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    if (ok) {
        LOGFONTW bold = metrics.lfMessageFont;
        bold.lfWeight = FW_BOLD;
        font = CreateFontIndirectW(&metrics.lfMessageFont);
        boldFont = CreateFontIndirectW(&bold);
    }
    if (font && boldFont) {
        ownFonts = true;
        return true;
    }
    if (font) DeleteObject(font);
    if (boldFont) DeleteObject(boldFont);
    font = boldFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    ownFonts = false;
    return false;
}

namespace {
// Selects the font into the measuring DC for the life of the object.
class MeasureFont {
public:
    explicit MeasureFont(bool bold) {
        VnBackend::Initialize();
        dc_ = VnBackend::Native::measureDc;
        old_ = dc_ ? SelectObject(dc_, VnBackend::Native::Font(bold)) : nullptr;
    }
    ~MeasureFont() {
        if (dc_) SelectObject(dc_, old_);
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};
}  // namespace

int32_t VnBackend::LineHeight(bool bold) {
    MeasureFont measure(bold);
    TEXTMETRICW metrics{};
    if (!measure.dc() || !GetTextMetricsW(measure.dc(), &metrics)) return 15;
    return Native::ToUnits(metrics.tmHeight);
}

int32_t VnBackend::TextWidth(std::u16string_view text, bool bold) {
    MeasureFont measure(bold);
    SIZE size{};
    if (!measure.dc() ||
        !GetTextExtentPoint32W(measure.dc(), reinterpret_cast<const wchar_t*>(text.data()), int(text.size()), &size))
        return int32_t(text.size()) * 7;
    return Native::ToUnits(size.cx);
}

int32_t VnBackend::TextHeight(std::u16string_view text, int32_t width, bool bold) {
    MeasureFont measure(bold);
    if (!measure.dc()) return LineHeight(bold);
    RECT rect{0, 0, Native::ToPixels(width), 0};
    const int height = DrawTextW(measure.dc(), reinterpret_cast<const wchar_t*>(text.data()), int(text.size()), &rect,
                                 DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
    return Native::ToUnits(std::max(height, 1));
}
