// How often the saver window's frame timer fires for an engine.
#pragma once

#include <cstdint>

namespace nimbrel {

// With fix_speed: 1000 div the designed speed (a speed below 1 counts as 1); otherwise 1 ms, as
// fast as timer events arrive.
std::int32_t frame_interval_ms(bool fix_speed, std::int32_t design_fps);

} // namespace nimbrel
