// Pixel selection of a 1-pixel cosmetic pen, as Windows draws it, clipped to a rectangle.
//
// A segment lights one pixel per step along its major axis (x when |dx| > |dy|, otherwise y, so
// exact diagonals are y-major), starting at its first point and stopping before its last one.
// At each step the minor coordinate is the one nearest the true line; when the line passes
// exactly halfway between two pixels the smaller coordinate wins (up for x-major lines, left for
// y-major ones), whichever way the segment runs. This is Bresenham's algorithm where the four
// octants whose minor coordinate decreases carry a bias of one, which is what makes a segment
// and its reverse light the same pixels apart from their end points.
//
// Clipping does not re-round a shortened segment: the first visible step and the decision
// variable there are computed exactly from the original segment, so a clipped segment lights
// exactly the visible pixels of the unclipped one, and its cost is its visible length.
#pragma once

#include "engine/draw.h"

#include <cstdint>

namespace nimbrel {

// The visible part of one segment, ready for a Bresenham walk.
struct LineRun {
    std::int32_t x = 0, y = 0; // first visible pixel
    std::int64_t count = 0;    // visible pixels; 0 when nothing is visible
    bool x_major = true;
    int major_step = 1, minor_step = 1; // +1 or -1
    std::int64_t error = 0;             // decision variable at the first visible pixel
    std::int64_t error_straight = 0;    // added when only the major coordinate moves
    std::int64_t error_diagonal = 0;    // added when both coordinates move
    int bias = 0;                       // the minor coordinate moves when error + bias > 0
};

// The part of the segment from `from` to `to` (without `to`) that lies in [0, width) x [0, height).
LineRun clip_segment(Point from, Point to, int width, int height);

// Calls plot(x, y) for every pixel of the run, in drawing order.
template <class Plot> void walk_run(const LineRun& run, Plot&& plot) {
    std::int32_t major = run.x_major ? run.x : run.y;
    std::int32_t minor = run.x_major ? run.y : run.x;
    std::int64_t error = run.error;
    for (std::int64_t n = run.count; n > 0; --n) {
        if (run.x_major)
            plot(major, minor);
        else
            plot(minor, major);
        if (error + run.bias > 0) {
            minor += run.minor_step;
            error += run.error_diagonal;
        } else {
            error += run.error_straight;
        }
        major += run.major_step;
    }
}

} // namespace nimbrel
