// Pictures the test driver takes of the screen, and the few numbers the tests judge them by.
#pragma once

#include "app/win32_api.h"

#include <cstdint>
#include <vector>

namespace e2e {

// 32-bit pixels as 0x00RRGGBB, rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    Image crop(const RECT& r) const; // clipped to the image
};

// What the user sees in `area` of the screen (the whole screen when `area` is null).
Image capture_screen(const RECT* area = nullptr);

// Fraction (0..1) of pixels that are not pure black.
double non_black_fraction(const Image& image);

// Fraction (0..1) of pixels of exactly `colour`.
double fraction_of(const Image& image, std::uint32_t colour);

// Number of distinct colours, counting up to `cap` (counting stops there).
int distinct_colours(const Image& image, int cap = 1 << 24);

// Fraction (0..1) of pixels that differ between two images of the same size (1 if sizes differ).
double difference(const Image& a, const Image& b);

// Smallest rectangle holding every pixel brighter than `threshold` (in any channel); empty when
// there is none.
RECT lit_bounds(const Image& image, int threshold = 128);

} // namespace e2e
