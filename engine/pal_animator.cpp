#include "engine/pal_animator.h"

#include "engine/fixed_point.h"
#include "settings/random.h"

#include <algorithm>
#include <cmath>

namespace nimbrel {
namespace {

std::uint8_t& component(PaletteEntry& e, int c) {
    return c == 0 ? e.red : c == 1 ? e.green : e.blue;
}

} // namespace

std::array<std::int32_t, 256> make_gamma_table(double g) {
    std::array<std::int32_t, 256> table{};
    const double a = std::exp(g / 2);
    for (int i = 0; i < 256; ++i) {
        const double b = std::exp((i / 255.0 - 0.5) * g);
        table[i] = round_even((((a + 1) / (a - 1)) * 0.5 * ((b - 1) / (b + 1)) + 0.5) * 255);
    }
    return table;
}

pal_animator::pal_animator(int control_points, int gamma, int eccentricity)
    // Counts outside 1 ... 16 (hand-edited ranges) would divide by zero or overrun the points.
    : point_count_(std::clamp(control_points, 1, max_points)),
      colour_count_(max_animated_colours / point_count_ * point_count_),
      segment_length_(colour_count_ / point_count_), eccentricity_(eccentricity),
      gamma_strength_(gamma) {
    const std::int64_t e = eccentricity_;
    for (int j = 0; j < point_count_; ++j) {
        for (int c = 0; c < 3; ++c) {
            position_[j][c] = wrap32(random(static_cast<std::uint32_t>(254 - 2 * e)) + e + 1);
            velocity_[j][c] = step_up();
            if (random(2) == 0) velocity_[j][c] = -velocity_[j][c];
        }
    }
    for (int i = 0; i < colour_count_; ++i) {
        ramp_[i].flags = PC_RESERVED;
        output_[i].flags = PC_RESERVED;
    }
    gamma_table_ = make_gamma_table(gamma_strength_);
    walk_step();
}

std::int32_t pal_animator::step_up() const {
    if (eccentricity_ <= 1) return 0;
    return static_cast<std::int32_t>(random(static_cast<std::uint32_t>(eccentricity_))) + 1;
}

std::int32_t pal_animator::step_down() const {
    if (eccentricity_ <= 1) return 0;
    return -static_cast<std::int32_t>(random(static_cast<std::uint32_t>(eccentricity_))) - 1;
}

void pal_animator::walk_step() {
    const std::int64_t e = eccentricity_;
    for (int j = 0; j < point_count_; ++j) {
        auto& pos = position_[j];
        auto& vel = velocity_[j];
        for (int c = 0; c < 3; ++c)
            pos[c] = wrap32(std::int64_t{pos[c]} + vel[c]);
        for (int c = 0; c < 3; ++c) {
            if (pos[c] <= e)
                vel[c] = step_up();
            else if (pos[c] >= 255 - e)
                vel[c] = step_down();
        }
        for (int c = 0; c < 3; ++c) {
            if (pos[c] < 0) vel[c] = step_up();
            if (pos[c] > 255) vel[c] = -step_up();
        }
    }

    // A closed loop: the segment starting at control point p runs towards point j, beginning with
    // the one from the last point back to the first.
    const int k = segment_length_;
    int p = point_count_ - 1;
    for (int j = 0; j < point_count_; ++j) {
        for (int s = 0; s < k; ++s) {
            PaletteEntry& entry = ramp_[p * k + s];
            for (int c = 0; c < 3; ++c) {
                const double from = position_[p][c];
                const std::int64_t offset =
                    round_even(s * (static_cast<double>(position_[j][c]) - from) / k);
                component(entry, c) = static_cast<std::uint8_t>(offset + position_[p][c]);
            }
        }
        p = j;
    }

    for (int i = 0; i < colour_count_; ++i)
        for (int c = 0; c < 3; ++c)
            component(output_[i], c) =
                static_cast<std::uint8_t>(gamma_table_[component(ramp_[i], c)]);
}

} // namespace nimbrel
