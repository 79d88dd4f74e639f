#include "saverkit/dpi.h"

#include <cstdint>

namespace nimbrel {
namespace {

// value * numerator / denominator, rounded half away from zero.
int mul_div(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

} // namespace

int Usable_dpi(int reported) {
    // Beyond 20 times the design resolution no monitor exists; a window would not fit any screen.
    return reported > 0 && reported <= 20 * Design_dpi ? reported : Design_dpi;
}

int Scale_for_dpi(int design_pixels, int dpi) {
    return mul_div(design_pixels, Usable_dpi(dpi), Design_dpi);
}

int Font_height_for_points(int points, int dpi) {
    return -mul_div(points, Usable_dpi(dpi), 72);
}

int Unscale_for_dpi(int pixels, int dpi) {
    return mul_div(pixels, Design_dpi, Usable_dpi(dpi));
}

DpiRect Scale_rect_for_dpi(const DpiRect& design, int dpi) {
    const int left = Scale_for_dpi(design.left, dpi);
    const int top = Scale_for_dpi(design.top, dpi);
    return {left, top, Scale_for_dpi(design.left + design.width, dpi) - left,
            Scale_for_dpi(design.top + design.height, dpi) - top};
}

} // namespace nimbrel
