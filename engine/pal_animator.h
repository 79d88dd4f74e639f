// The random loop through RGB space: control points drift with random velocities and the animated
// colours are a closed ramp through them, bent by a gamma-like S-curve.
#pragma once

#include "engine/draw.h"

#include <array>
#include <cstdint>

namespace nimbrel {

// 0 ... 255 mapped through 0.5 + 0.5 tanh((i/255 - 0.5) g/2) / tanh(g/4), scaled to 255.
std::array<std::int32_t, 256> make_gamma_table(double strength);

class pal_animator {
  public:
    static constexpr int max_points = 16;

    // control_points 3 ... 16, gamma 1 ... 20, eccentricity 1 ... 16 in the editor's ranges.
    pal_animator(int control_points, int gamma, int eccentricity);

    void walk_step();

    int point_count() const { return point_count_; }
    int colour_count() const { return colour_count_; }
    int segment_length() const { return segment_length_; }
    const std::array<std::int32_t, 256>& gamma_table() const { return gamma_table_; }
    const std::array<std::int32_t, 3>& position(int point) const { return position_[point]; }
    const std::array<std::int32_t, 3>& velocity(int point) const { return velocity_[point]; }
    const PaletteEntries& output() const { return output_; }

  private:
    std::int32_t step_up() const;
    std::int32_t step_down() const;

    std::int32_t point_count_;    // P
    std::int32_t colour_count_;   // (236 div P) * P
    std::int32_t segment_length_; // K = colour_count div P
    std::int32_t eccentricity_;   // E: largest step and margin from the ends of 0 ... 255
    double gamma_strength_;
    std::array<std::int32_t, 256> gamma_table_{};
    std::array<std::array<std::int32_t, 3>, max_points> position_{};
    std::array<std::array<std::int32_t, 3>, max_points> velocity_{};
    PaletteEntries ramp_{};
    PaletteEntries output_{};
};

} // namespace nimbrel
