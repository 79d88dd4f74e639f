#include "saverkit/general_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {
namespace {

TEST(KitGeneralOptions, MouseThresholdIndexAndPixels) {
    const struct {
        std::int64_t index;
        TMouseThreshold threshold;
        std::uint32_t pixels;
    } cases[] = {
        {0, mtHigh, 0},      {1, mtNormal, 200},
        {2, mtLow, 400},     {3, mtKeyboard_only, 999999},
        {-1, mtNormal, 200}, {0x100000000LL, mtNormal, 200}, // not a small number in disguise
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MouseThresholdFromIndex(c.index), c.threshold) << c.index;
        EXPECT_EQ(MousePixThreshold(MouseThresholdFromIndex(c.index)), c.pixels) << c.index;
    }
    EXPECT_EQ(MousePixThreshold(static_cast<TMouseThreshold>(7)), 200u);
}

TEST(KitGeneralOptions, PasswordDelayShownSavedAndIndexed) {
    // Shown as the page shows a stored delay, then read back as the page saves it.
    const struct {
        std::uint32_t stored;
        int unit;
        std::uint32_t number, saved, index;
    } cases[] = {
        {0, 0, 0, 0, 0},     {30, 0, 30, 30, 0},     {60, 0, 60, 60, 0},
        {61, 1, 1, 60, 1},   {90, 1, 1, 60, 1},      {119, 1, 1, 60, 1},
        {120, 1, 2, 120, 1}, {3600, 1, 60, 3600, 1}, {0xFFFFFFFFu, 1, 71582788, 71582788u * 60u, 1},
    };
    for (const auto& c : cases) {
        const WaitShown shown = ShowPasswordDelay(c.stored);
        EXPECT_EQ(shown.unit, c.unit) << c.stored;
        EXPECT_EQ(shown.number, c.number) << c.stored;
        const std::uint32_t saved =
            ReadPasswordDelay(std::to_string(shown.number), shown.unit, true);
        EXPECT_EQ(saved, c.saved) << c.stored;
        EXPECT_EQ(PasswordDelayIndex(saved, shown.unit), c.index) << c.stored;
    }
}

TEST(KitGeneralOptions, PasswordDelayFromOddEdits) {
    const std::uint32_t max = 0xFFFFFFFFu;
    const struct {
        std::optional<std::string> text;
        int unit;
        bool has_list;
        std::uint32_t seconds;
    } cases[] = {
        {"abc", 0, true, 30},
        {"abc", 1, true, 60},
        {"  45", 0, true, 45},
        {"7x", 1, true, 420},
        {"0x10", 0, true, 16},                     // as "%i" reads
        {"-5", 1, true, 0},                        // a minus sign never wraps round
        {"99999999", 1, true, max},                // saturates instead of wrapping
        {"5", -1, true, 5},                        // no unit selected: seconds
        {std::string(25, '9'), 0, true, max},      // saturates too
        {std::string(19, ' ') + "12", 0, true, 1}, // only the first 20 characters count
        {std::nullopt, 0, true, 60},
        {std::nullopt, 0, false, 30},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadPasswordDelay(c.text, c.unit, c.has_list), c.seconds)
            << (c.text ? *c.text : "<no edit>") << " unit " << c.unit;
}

TEST(KitGeneralOptions, MouseCornersDecodeAndEncode) {
    using C = CornerModes;
    const struct {
        std::optional<std::string> bytes;
        C corners;
    } cases[] = {
        {std::string("Y-NX\0", 5), {scmNow, scmNormal, scmNever, scmNormal}},
        {std::string("NNNN\0", 5), {scmNever, scmNever, scmNever, scmNever}},
        {std::string("yn--", 4), {scmNormal, scmNormal, scmNormal, scmNormal}}, // case counts
        {std::string("Y\0NN\0", 5), {scmNow, scmNormal, scmNormal, scmNormal}}, // short string
        {std::string("NY", 2), {scmNever, scmNow, scmNormal, scmNormal}},       // short value
        {std::string(), {scmNormal, scmNormal, scmNormal, scmNormal}},
        {std::nullopt, {scmNormal, scmNormal, scmNormal, scmNormal}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeCorners(c.bytes), c.corners) << (c.bytes ? *c.bytes : "<none>");

    EXPECT_EQ(EncodeCorners({scmNow, scmNormal, scmNever, scmNormal}), "Y-N-");
    const C all_modes{scmNever, scmNow, scmNormal, static_cast<TScrCornerMode>(9)};
    EXPECT_EQ(EncodeCorners(all_modes), "NY--");
    EXPECT_EQ(DecodeCorners(EncodeCorners({scmNever, scmNow, scmNow, scmNever})),
              (C{scmNever, scmNow, scmNow, scmNever}));
}

TEST(KitGeneralOptions, MonitorGeometryAndCornerHits) {
    const MonitorGeometry g = MakeMonitorGeometry(KitSize{368, 170}, KitSize{24, 22});
    EXPECT_EQ(g.picture.width, 184);
    EXPECT_EQ(g.picture.height, 170);
    EXPECT_EQ(g.corners[csTopLeft], (KitRect{16, 17, 40, 39}));
    EXPECT_EQ(g.corners[csTopRight], (KitRect{145, 17, 169, 39}));
    EXPECT_EQ(g.corners[csBottomRight], (KitRect{145, 108, 169, 130}));
    EXPECT_EQ(g.corners[csBottomLeft], (KitRect{16, 108, 40, 130}));

    for (int c : {csTopLeft, csTopRight, csBottomRight, csBottomLeft}) { // edges count
        EXPECT_EQ(CornerAt(g, g.corners[c].left, g.corners[c].top), c);
        EXPECT_EQ(CornerAt(g, g.corners[c].right, g.corners[c].bottom), c);
    }
    for (auto [x, y] : {std::pair{41, 39}, {15, 17}, {100, 70}, {-5, -5}})
        EXPECT_EQ(CornerAt(g, x, y), -1) << x << "," << y;

    // Corner buttons so big that they overlap: the later corner wins.
    const MonitorGeometry big = MakeMonitorGeometry(std::nullopt, KitSize{100, 100});
    EXPECT_EQ(CornerAt(big, 90, 60), csBottomLeft);
    EXPECT_EQ(CornerAt(big, 90, 20), csTopRight);

    const MonitorGeometry missing = MakeMonitorGeometry(std::nullopt, std::nullopt);
    EXPECT_EQ(missing.picture.width, 184);
    EXPECT_EQ(missing.corner.width, 32);
    EXPECT_EQ(missing.corners[csBottomRight], (KitRect{137, 98, 169, 130}));
}

TEST(KitGeneralOptions, PictureAndPreviewChildAreCentred) {
    EXPECT_EQ(PictureOffset({184, 170}, {184, 170}).width, 0);
    EXPECT_EQ(PictureOffset({277, 256}, {184, 170}).width, 46); // 93 / 2
    EXPECT_EQ(PictureOffset({277, 256}, {184, 170}).height, 43);
    EXPECT_EQ(PictureOffset({181, 170}, {184, 170}).width, -1); // toward zero: -3 / 2
    const struct {
        KitSize control;
        int dpi;
        KitRect bounds;
    } cases[] = {
        {{184, 170}, 96, {16, 17, 153, 113}},
        {{277, 256}, 96, {62, 60, 153, 113}},
        {{276, 255}, 144, {24, 26, 230, 169}}, // the picture at 150 %: the area grows with it
        {{368, 340}, 192, {32, 34, 306, 226}},
        {{184, 170}, 144, {-22, -16, 230, 169}}, // a control left at 96: centred, overhanging
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviewChildBounds(c.control, c.dpi), c.bounds) << c.dpi;
    EXPECT_EQ(ScaledPicture({184, 170}, 144).width, 276);
    EXPECT_EQ(ScaledPicture({184, 170}, 144).height, 255);
}

TEST(KitMonitorGeometry, PictureDpiShrinksThePictureOnlyToFitItsControl) {
    const struct {
        KitSize control;
        int dpi, expected;
    } cases[] = {
        {{184, 170}, 96, 96},   // the design size
        {{185, 171}, 96, 96},   // dialog units round up: never larger than the window's
        {{276, 255}, 144, 144}, // scaled exactly
        {{276, 240}, 144, 135}, // a font that grew less than the resolution: the height decides
        {{230, 255}, 144, 120}, // the width decides
        {{0, 0}, 96, 1},        // no room at all: still a resolution
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureDpi(c.control, c.dpi), c.expected)
            << c.control.width << "x" << c.control.height;
}

} // namespace
} // namespace nimbrel
