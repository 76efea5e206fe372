// Rectangles in layout units: 1 unit is 1 pixel at 96 dots per inch; the
// Win32 toolkit scales units by the system's DPI when it places windows.
#pragma once

#include <cstdint>

struct VnRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    static constexpr VnRect At(int32_t x, int32_t y, int32_t width, int32_t height) {
        return VnRect{x, y, x + width, y + height};
    }
    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr VnRect Deflated(int32_t dx, int32_t dy) const { return VnRect{left + dx, top + dy, right - dx, bottom - dy}; }
    friend constexpr bool operator==(const VnRect&, const VnRect&) = default;
};
