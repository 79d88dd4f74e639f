#include "engine/line_raster.h"

#include <algorithm>

namespace nimbrel {
namespace {

using u64 = std::uint64_t;
using i64 = std::int64_t;

struct QuotientRemainder {
    u64 quotient, remainder;
};

// x * y / z without a 128-bit type (32-bit targets lack one). Needs x, y, z < 2^34, z > 0:
// every partial product then stays below 2^52.
QuotientRemainder mul_div(u64 x, u64 y, u64 z) {
    const u64 high = x * (y >> 16);
    const u64 q1 = high / z, r1 = high % z;
    const u64 low = (r1 << 16) + x * (y & 0xFFFF);
    return {(q1 << 16) + low / z, low % z};
}

// The segment seen along its axes: after k steps the major coordinate is major0 + major_step*k
// and the minor one is minor0 + minor_step*f(k), with f(k) = k*a/L rounded to the nearest
// integer; halves round down when the minor coordinate increases and up when it decreases.
struct Axes {
    i64 length; // L: steps along the major axis, > 0
    i64 rise;   // a: steps along the minor axis, 0 <= a <= L
    bool halves_up;

    // Bresenham's state at step k: f(k) and the decision variable 2(k+1)a - (2f(k)+1)L. With
    // k*a = qL + r and f(k) = q + up, the decision is 2r - 2*up*L + 2a - L, which stays small
    // however long the segment.
    void state_at(i64 k, i64& steps, i64& decision) const {
        const QuotientRemainder qr =
            mul_div(static_cast<u64>(k), static_cast<u64>(rise), static_cast<u64>(length));
        const i64 r = static_cast<i64>(qr.remainder);
        const i64 up = (halves_up ? 2 * r >= length : 2 * r > length) ? 1 : 0;
        steps = static_cast<i64>(qr.quotient) + up;
        decision = 2 * r - 2 * up * length + 2 * rise - length;
    }

    // The first step k >= 0 with f(k) >= t; returns `beyond` when there is none before it.
    i64 first_step_reaching(i64 t, i64 beyond) const {
        if (t <= 0) return 0;
        if (rise == 0) return beyond;
        // f(k) >= t  <=>  2ka > (2t-1)L, or >= when halves round up.
        const QuotientRemainder qr = mul_div(static_cast<u64>(2 * t - 1), static_cast<u64>(length),
                                             static_cast<u64>(2 * rise));
        const i64 q = static_cast<i64>(qr.quotient);
        if (halves_up) return qr.remainder == 0 ? q : q + 1;
        return q + 1;
    }
};

} // namespace

LineRun clip_segment(Point from, Point to, int width, int height) {
    LineRun run;
    const i64 dx = i64{to.x} - from.x, dy = i64{to.y} - from.y;
    if ((dx == 0 && dy == 0) || width <= 0 || height <= 0) return run;

    const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    run.x_major = adx > ady;
    const i64 major_delta = run.x_major ? dx : dy, minor_delta = run.x_major ? dy : dx;
    const i64 major0 = run.x_major ? from.x : from.y, minor0 = run.x_major ? from.y : from.x;
    const i64 major_limit = run.x_major ? width : height,
              minor_limit = run.x_major ? height : width;
    run.major_step = major_delta < 0 ? -1 : 1;
    run.minor_step = minor_delta < 0 ? -1 : 1;
    const Axes axes{run.x_major ? adx : ady, run.x_major ? ady : adx, run.minor_step < 0};

    // Steps whose major coordinate is on the surface.
    i64 first, last;
    if (run.major_step > 0) {
        first = std::max<i64>(0, -major0);
        last = std::min<i64>(axes.length - 1, major_limit - 1 - major0);
    } else {
        first = std::max<i64>(0, major0 - (major_limit - 1));
        last = std::min<i64>(axes.length - 1, major0);
    }
    if (first > last) return run;

    // Steps whose minor coordinate is on the surface: f(k) within [low, high], f non-decreasing.
    i64 low, high;
    if (run.minor_step > 0) {
        low = -minor0;
        high = minor_limit - 1 - minor0;
    } else {
        low = minor0 - (minor_limit - 1);
        high = minor0;
    }
    if (high < 0) return run;
    first = std::max(first, axes.first_step_reaching(low, last + 1));
    last = std::min(last, axes.first_step_reaching(high + 1, last + 1) - 1);
    if (first > last) return run;

    i64 f = 0;
    axes.state_at(first, f, run.error);
    const i64 major = major0 + run.major_step * first;
    const i64 minor = minor0 + run.minor_step * f;
    run.x = static_cast<std::int32_t>(run.x_major ? major : minor);
    run.y = static_cast<std::int32_t>(run.x_major ? minor : major);
    run.count = last - first + 1;
    run.error_straight = 2 * axes.rise;
    run.error_diagonal = 2 * axes.rise - 2 * axes.length;
    run.bias = axes.halves_up ? 1 : 0;
    return run;
}

} // namespace nimbrel
