#include "saverkit/dpi.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(KitDpi, ScalesRoundingHalvesAwayFromZero) {
    const struct {
        int design, dpi, pixels;
    } cases[] = {
        {11, 96, 11},    {11, 120, 14},   {11, 144, 17},    {11, 192, 22},   // the message font
        {150, 144, 225}, {153, 144, 230}, {113, 144, 170},  {150, 192, 300}, // wrap, preview area
        {1, 144, 2},     {-1, 144, -2},   {-11, 144, -17},  {0, 144, 0}, // halves away from zero
        {1, 120, 1},     {3, 120, 4},     {525, 168, 919},               // 175 %
        {11, 0, 11},     {11, -144, 11},  {11, 100000, 11},              // no usable resolution
    };
    for (const auto& c : cases)
        EXPECT_EQ(Scale_for_dpi(c.design, c.dpi), c.pixels) << c.design << " at " << c.dpi;
}

TEST(KitDpi, FontHeightsFromPoints) {
    const struct {
        int points, dpi, height;
    } cases[] = {
        {8, 96, -11}, {8, 120, -13}, {8, 144, -16}, {8, 192, -21}, // the dialogs and the message
        {9, 96, -12}, {9, 144, -18}, {8, 0, -11},                  // the progress box; unknown
    };
    for (const auto& c : cases)
        EXPECT_EQ(Font_height_for_points(c.points, c.dpi), c.height) << c.points << " at " << c.dpi;
}

TEST(KitDpi, ClicksGoBackToDesignPixels) {
    for (const int dpi : {96, 120, 144, 192})
        for (const int design : {0, 16, 40, 145, 169})
            EXPECT_EQ(Unscale_for_dpi(Scale_for_dpi(design, dpi), dpi), design) << dpi;
    EXPECT_EQ(Unscale_for_dpi(100, 0), 100);
}

TEST(KitDpi, RectanglesThatTouchKeepTouching) {
    // Two controls side by side at 96 dots per inch: edge to edge at every resolution.
    for (const int dpi : {96, 120, 144, 168, 192}) {
        const DpiRect a = Scale_rect_for_dpi({5, 7, 11, 13}, dpi);
        const DpiRect b = Scale_rect_for_dpi({16, 20, 11, 13}, dpi);
        EXPECT_EQ(a.left + a.width, b.left) << dpi;
        EXPECT_EQ(a.top + a.height, b.top) << dpi;
    }
    EXPECT_EQ(Scale_rect_for_dpi({382, 320, 60, 23}, 144), (DpiRect{573, 480, 90, 35}));
    EXPECT_EQ(Scale_rect_for_dpi({382, 320, 60, 23}, 96), (DpiRect{382, 320, 60, 23}));
}

} // namespace
} // namespace nimbrel
