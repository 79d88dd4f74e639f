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
const std::vector<std::string> kDenseSlowRings = busy_rings(
    {"max_polygons 0 200 10", "magnification 0 256 256", "UsePalette TRUE",
     "palette_list Rainbow.pal", "rub_out FALSE", "fix_speed TRUE", "speed_scroll 1 200 4"});

constexpr std::uint32_t kCoverColour = 0x404040; // the host window's dark grey

// Fraction of the pixels in `area` that are not black.
double lit_in(const Image& shot, const RECT& area) {
    return non_black_fraction(shot.crop(area));
}

class SaverRepaint : public Saver {};

TEST_F(SaverRepaint, FullScreenPictureComesBackWhereAWindowCoveredIt) {
    prepare_data(kDenseSlowRings);
    Process saver(exe_, "/s");
    ASSERT_TRUE(saver.started());
    HWND window = window_on(saver, screen_rect(), Millis(3000));
    ASSERT_NE(window, nullptr) << "no window covers the screen:" << windows_of(saver);

    // Away from the pointer, in the middle of the rings.
    const RECT area{200, 150, 500, 350};
    Image before;
    ASSERT_TRUE(wait_until(
        [&] {
            before = capture_screen();
            return lit_in(before, area) > 0.02 || !saver.running();
        },
        Millis(5000), Millis(50)))
        << "the rings did not fill the area: " << summary(before) << windows_of(saver);
    const double lit_before = lit_in(before, area);
    std::printf("[   INFO   ] %.1f s after start %.2f%% of the area lit\n",
                seconds_since(saver.start_time()), lit_before * 100);

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
        least_lit = std::min(least_lit, lit_in(shot, area));
        most_grey = std::max(most_grey, fraction_of(shot.crop(area), kCoverColour));
    }
    const double after = lit_in(shot, area), elsewhere = non_black_fraction(shot);
    std::printf("[   INFO   ] uncovered area: at least %.2f%% lit in the first 0.3 s, then %.2f%%; "
                "%.2f%% on the whole screen\n",
                least_lit * 100, after * 100, elsewhere * 100);
    // Rings are never erased here, so the area can only have gained lit pixels.
    EXPECT_GE(least_lit, lit_before * 0.9) << "the uncovered area lost its rings";
    EXPECT_GT(after, elsewhere / 4) << "a dark hole where it lay";
    EXPECT_LT(most_grey, 0.01) << "the covering window's grey stayed";

    EXPECT_FALSE(saver.wait_exit(Millis(300))) << "the saver ended after the window went";
    EXPECT_TRUE(ends_on_a_key(saver)) << "a key no longer reaches the saver";
}

} // namespace
} // namespace e2e
