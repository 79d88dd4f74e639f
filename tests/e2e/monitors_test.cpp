// The full-screen saver on a desktop of several monitors: rings on every one (or black covers on
// the others when the INI file says so), windows there that hand their input to the saver, and
// nothing left behind when it ends.
#include "driver.h"
#include "fixture.h"
#include "image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace e2e {
namespace {

constexpr std::uint32_t kHostGrey = 0x404040; // what HostWindow paints

POINT centre_of(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Something to hide on every other monitor: a grey window in its middle, and the part of it that
// shows whether anything of the saver is still over it.
class GreyWindows {
  public:
    explicit GreyWindows(const std::vector<RECT>& monitors) {
        for (const RECT& monitor : monitors) {
            const POINT c = centre_of(monitor);
            windows_.push_back(std::make_unique<HostWindow>(160, 120, c.x - 80, c.y - 60));
            marks_.push_back({c.x - 60, c.y - 40, c.x + 60, c.y + 40});
        }
    }
    // All of them show within the time.
    bool visible(Millis timeout) const {
        return std::all_of(marks_.begin(), marks_.end(), [&](const RECT& mark) {
            return wait_until([&] { return fraction_of(capture_screen(&mark), kHostGrey) > 0.99; },
                              timeout);
        });
    }

  private:
    std::vector<std::unique_ptr<HostWindow>> windows_;
    std::vector<RECT> marks_;
};

TEST_F(SaverOnMonitors, RingsOrBlackOnTheOtherMonitorsAndAKeyLeavesNothingBehind) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> ini;
        bool rings; // on the other monitors
    } cases[] = {{"no Other_monitors: rings everywhere", {}, true},
                 {"Other_monitors=black", {{"Other_monitors", "black"}}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prepare_data(busy_rings(), c.ini);
        const GreyWindows behind(others_);
        ASSERT_TRUE(behind.visible(Millis(2000)))
            << "the grey window on the other monitor does not show";

        Process saver(exe_, "/s");
        Image shot;
        ASSERT_GE(wait_for_rings(saver, Millis(3000), &shot), 0)
            << "no rings on the primary monitor: " << summary(shot) << windows_of(saver);
        std::vector<RECT> every = monitor_rects();
        for (std::size_t i = 0; i < every.size(); ++i) {
            const RECT& monitor = every[i];
            SCOPED_TRACE(::testing::Message()
                         << "monitor at " << monitor.left << "," << monitor.top);
            HWND window = window_on(saver, monitor, Millis(1000));
            ASSERT_NE(window, nullptr) << "no window of the saver on it:" << windows_of(saver);
            EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "not topmost";
            Image first, later;
            if (i > 0 && !c.rings) {
                EXPECT_TRUE(wait_until(
                    [&] { return non_black_fraction(first = capture_screen(&monitor)) == 0; },
                    Millis(1000)))
                    << "not black: " << summary(first);
                continue;
            }
            ASSERT_TRUE(wait_until([&] { return shows_rings(first = capture_screen(&monitor)); },
                                   Millis(2000)))
                << "no rings: " << summary(first);
            EXPECT_TRUE(wait_until(
                [&] { return difference(first, later = capture_screen(&monitor)) > 0.01; },
                Millis(2000)))
                << "the rings stand still: " << summary(later);
        }

        ASSERT_TRUE(ends_on_a_key(saver)) << "still running 1 s after a key press";
        EXPECT_TRUE(behind.visible(Millis(1000)))
            << "the grey window stays hidden after the saver ended: a window was left behind";
    }
}

TEST_F(SaverOnMonitors, MouseOverAnotherMonitorEndsTheSaverOnlyBeyondTheThreshold) {
    prepare_data();
    // The pointer starts on the other monitor, so every move below stays over its cover.
    centre_ = centre_of(others_.front());
    SetCursorPos(centre_.x, centre_.y);
    Process saver(exe_, "/s");
    ASSERT_GE(wait_for_rings(saver, Millis(3000)), 0) << windows_of(saver);
    ASSERT_NE(window_on(saver, others_.front(), Millis(1000)), nullptr) << windows_of(saver);
    expect_only_the_last_move_ends(saver, centre_, {{0, -100}, {60, 80}, {-71, -70}, {101, 0}});
}

} // namespace
} // namespace e2e
