// The full-screen saver keeps its picture where another window lay over it for a while, and such
// a window does not end it.
#include "driver.h"
#include "fixture.h"
#include "image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace e2e {
namespace {

// Ten rings that reach past the screen's edges, never erased, in a palette without black: the
// picture only ever gains lit pixels. Four frames a second, so a repaint that lost the picture
// would stay on the screen for up to a quarter of a second.
std::vector<std::string> dense_slow_rings() {
    // clang-format off
    return {
        "        max_polygons\t0 200 10",
        "       magnification\t0 256 256",
        "         perspective\t-128 128 20",
        "          UsePalette\tTRUE",
        "        palette_list\tRainbow.pal",
        "         colour_step\t-128 128 12",
        "         palette_inc\t-128 128 30",
        "        sin_rotation\tTRUE",
        "                ampl\t0 256 60",
        "                freq\t-128 128 20",
        "    ran_fluid_motion\tTRUE",
        "            density4\t-100 0 -60",
        "            density5\t-100 0 -40",
        "             rub_out\tFALSE",
        "           fix_speed\tTRUE",
        "        speed_scroll\t1 200 4",
        "         Screensaver\tTRUE",
    };
    // clang-format on
}

constexpr std::uint32_t kCoverColour = 0x404040; // the host window's dark grey

// Fractions of pixels that are not black, inside an area of the screen and in the rest of it.
struct Lit {
    double inside_fraction = 0, outside_fraction = 0;
};

Lit lit_around(const Image& shot, const RECT& area) {
    long long lit[2] = {}, total[2] = {}; // [0] outside, [1] inside
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const bool in = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            ++total[in];
            lit[in] += shot.at(x, y) != 0;
        }
    const auto fraction = [](long long part, long long all) {
        return all ? double(part) / all : 0;
    };
    return Lit{fraction(lit[1], total[1]), fraction(lit[0], total[0])};
}

class SaverRepaint : public Saver {};

TEST_F(SaverRepaint, FullScreenPictureComesBackWhereAWindowCoveredIt) {
    prepare_data(dense_slow_rings());
    Process saver(install().exe(), "/s");
    ASSERT_TRUE(saver.started());
    HWND window = full_screen_window(saver, Millis(3000));
    ASSERT_NE(window, nullptr) << "no window covers the screen:" << windows_of(saver);

    // Away from the pointer, in the middle of the rings.
    const RECT area{200, 150, 500, 350};
    Image before;
    ASSERT_TRUE(wait_until(
        [&] {
            before = capture_screen();
            return lit_around(before, area).inside_fraction > 0.02 || !saver.running();
        },
        Millis(5000), Millis(50)))
        << "the rings did not fill the area: " << summary(before) << windows_of(saver);
    const Lit lit_before = lit_around(before, area);
    std::printf("[   INFO   ] %.1f s after start %.2f%% of the area lit\n",
                seconds_since(saver.start_time()), lit_before.inside_fraction * 100);

    {
        HostWindow cover(area.right - area.left, area.bottom - area.top, area.left, area.top,
                         HostWindow::Layer::Topmost);
        ASSERT_NE(cover.handle(), nullptr);
        Image covered;
        EXPECT_TRUE(wait_until(
            [&] {
                covered = capture_screen(&area);
                return fraction_of(covered, kCoverColour) > 0.99;
            },
            Millis(1000), Millis(20)))
            << "the window did not lie over the saver: " << summary(covered);
        Sleep(500);
        ASSERT_TRUE(saver.running()) << "a window over the saver ended it";
        cover.destroy();
    }
    // Wine restores uncovered pixels from its own copy, never asking for a repaint: ask for the
    // one Windows would (erase, then paint). A repaint that lost the picture shows till next frame.
    RedrawWindow(window, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const auto uncovered = Clock::now();
    double least_lit = 1, most_grey = 0;
    Image shot;
    while (seconds_since(uncovered) < 0.3) {
        shot = capture_screen();
        least_lit = std::min(least_lit, lit_around(shot, area).inside_fraction);
        most_grey = std::max(most_grey, fraction_of(shot.crop(area), kCoverColour));
    }
    const Lit after = lit_around(shot, area);
    std::printf("[   INFO   ] uncovered area: at least %.2f%% lit in the first 0.3 s, then %.2f%%; "
                "%.2f%% elsewhere\n",
                least_lit * 100, after.inside_fraction * 100, after.outside_fraction * 100);
    // Rings are never erased here, so the area can only have gained lit pixels.
    EXPECT_GE(least_lit, lit_before.inside_fraction * 0.9) << "the uncovered area lost its rings";
    EXPECT_GT(after.inside_fraction, after.outside_fraction / 4) << "a dark hole where it lay";
    EXPECT_LT(most_grey, 0.01) << "the covering window's grey stayed";

    EXPECT_FALSE(saver.wait_exit(Millis(300))) << "the saver ended after the window went";
    press_key(VK_SPACE);
    EXPECT_TRUE(saver.wait_exit(Millis(1000))) << "a key no longer reaches the saver";
}

} // namespace
} // namespace e2e
