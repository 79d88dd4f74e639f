// One ring slot. Slot 0 (the lead ring) is the generator; slots 1 ... N are drawn.
#pragma once

#include "engine/draw.h"

#include <array>
#include <cstdint>

namespace nimbrel {

// Colour of a blank slot (-10 as integer part): drawn in palette entry 0, black.
inline constexpr std::int32_t blank_colour = -655360;
inline constexpr int max_sides = 10;

struct poly {
    // Travelling state, handed one slot outward per frame.
    std::int32_t colour = 0; // 16.16, integer part 0 ... colour count - 1, or blank_colour
    std::int32_t spin = 0;   // 16.16 angle the next slot outward gets on top of this one's
    std::int32_t x = 0, y = 0;
    std::int32_t sides = 0;   // 1 ... 10; 0 only when every side density is 0
    std::int32_t changed = 0; // the next slot outward must be erased before it takes this state
    double aspect_x = 1, aspect_y = 1;
    // Stays with the slot.
    double size = 0;        // radius in pixels for the slot's depth (a whole number)
    std::int32_t angle = 0; // 16.16, angle of the first vertex
    std::array<Point, max_sides + 1> points{}; // point `sides` repeats point 0
};

} // namespace nimbrel
