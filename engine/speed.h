// How often the saver window's frame timer fires for an engine.
#pragma once

#include <cstdint>

namespace nimbrel {

// 1000 div the designed speed: a speed below 1 counts as 1, and the interval is at least 1 ms
// (a timer with an interval of 0 would not tick at all).
std::uint32_t frame_interval_ms(std::int32_t design_fps);

// What the display the engine draws on can show.
struct Display_timing {
    std::int32_t refresh_hz = 0; // 0 or 1 when the system does not know (its "default")
    bool compositor = false;     // frames go through a compositor that can be waited for
};

struct Frame_pacing {
    std::uint32_t interval_ms = 0;
    // The same, exactly: a rate that does not divide 1000 (60 per second) is kept on average.
    std::uint32_t period_us = 0;
    bool wait_for_compositor = false; // each tick also waits for the compositor's next frame
};

// With fix_speed the designed speed. Otherwise as fast as the display can show: one frame per
// refresh, paced by the compositor where there is one and by the refresh rate (60 Hz when it is
// not known) in any case, since a compositor wait may return at once.
Frame_pacing frame_pacing(bool fix_speed, std::int32_t design_fps, const Display_timing& display);

} // namespace nimbrel
