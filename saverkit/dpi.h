// Sizes are designed in pixels at 96 dots per inch; a window shows them at its own resolution.
// These are the rules; the window's resolution comes from the system (dpi_win32.cpp).
#pragma once

namespace nimbrel {

inline constexpr int Design_dpi = 96;

// A resolution the system reported, or the design resolution when it reported none or nonsense.
int Usable_dpi(int reported);

// Design pixels at `dpi`, rounded to the nearest pixel (halves away from zero), as MulDiv does.
int Scale_for_dpi(int design_pixels, int dpi);

// The LOGFONT height (negative: of the characters, without leading) of a font of `points` at
// `dpi`. Rounded as the system does, so 8 points is 11 pixels at 96 and 16 (not 16.5 rounded up)
// at 144: text then takes a little less than its share of a scaled control, never more.
int Font_height_for_points(int points, int dpi);

// Pixels at `dpi` back to design pixels (a point the user clicked, in the design's terms).
int Unscale_for_dpi(int pixels, int dpi);

struct DpiRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const DpiRect& a, const DpiRect& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
};

// A rectangle given in design pixels, at `dpi`. Edges are scaled, not sizes, so neighbours that
// touch at 96 dots per inch still touch.
DpiRect Scale_rect_for_dpi(const DpiRect& design, int dpi);

} // namespace nimbrel
