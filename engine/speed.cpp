#include "engine/speed.h"

#include <algorithm>

namespace nimbrel {
namespace {

Frame_pacing at_rate(std::int32_t per_second, bool wait_for_compositor) {
    const std::int32_t rate = std::max<std::int32_t>(per_second, 1);
    return {frame_interval_ms(rate),
            static_cast<std::uint32_t>(std::max<std::int32_t>(1000000 / rate, 1000)),
            wait_for_compositor};
}

} // namespace

std::uint32_t frame_interval_ms(std::int32_t design_fps) {
    return static_cast<std::uint32_t>(std::max(1000 / std::max<std::int32_t>(design_fps, 1), 1));
}

Frame_pacing frame_pacing(bool fix_speed, std::int32_t design_fps, const Display_timing& display) {
    if (fix_speed) return at_rate(design_fps, false);
    return at_rate(display.refresh_hz > 1 ? display.refresh_hz : 60, display.compositor);
}

} // namespace nimbrel
