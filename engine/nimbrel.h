// The ring engine: a row of ring slots whose states flow one slot outward per frame, fed by the
// lead ring's dynamics and coloured through an animated palette.
#pragma once

#include "engine/draw.h"
#include "engine/pal_animator.h"
#include "engine/palette_file.h"
#include "engine/poly.h"
#include "engine/sides.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace nimbrel {

class TSettings_Form;

// The pointer position in client coordinates, supplied by the window shell; the lead ring follows
// it in mouse_motion.
using CursorPosition = std::function<Point()>;

inline constexpr int max_rings = 500;

// Round((2 - log10 m) x 50), with log10 of anything not positive counted as -150: a per-frame
// chance in percent (100 or more means every frame).
std::int32_t chance_value(std::int32_t m);

class Nimbrel {
  public:
    // Builds the engine for the setting held by `settings` and clears `window` to black. May select
    // a palette file in the settings' palette list when none is selected.
    Nimbrel(TSettings_Form& settings, DrawTarget& window, PaletteTarget& palette, AlertSink& alerts,
            CursorPosition cursor = {});
    ~Nimbrel();
    Nimbrel(const Nimbrel&) = delete;
    Nimbrel& operator=(const Nimbrel&) = delete;

    // One frame; with colours_only just the palette moves.
    void frame_step(bool colours_only = false);

    std::int32_t design_fps() const { return design_fps_; }

    // Read-outs for the shell, tools and tests.
    int ring_count() const { return ring_count_; }
    const poly& ring(int slot) const { return rings_[slot]; }
    const poly& lead() const { return rings_[0]; }
    bool use_palette() const { return use_palette_; }
    std::int32_t colour_count() const { return colour_count_; }
    const LogPalette& log_palette() const { return log_palette_; }
    const pal_animator* animator() const { return animator_.get(); }
    std::int32_t walk_offset() const { return walk_offset_; }
    double motion_gain() const { return motion_gain_; }
    std::int32_t shape_period() const { return shape_period_; }
    std::int32_t rot_period() const { return rot_period_; }
    const DensityTable& density_table() const { return density_; }

  private:
    // Construction pieces, in the order they run.
    void make_palette();
    void init_aspect();
    void init_shape();
    void init_rotation();
    void init_motion();

    // Per-frame pieces.
    void rotate_palette();
    void hand_over();
    void aspect_step();
    void shape_step();
    void rotation_step();
    void colour_step();
    void motion_step();

    void new_random_rotation();
    // One axis of the fluid motion: a smooth glide from `start` over `distance` pixels in
    // `frames` frames, `counter` of which have passed; the smooth table is stepped by `rate`.
    // Jump motion keeps its period and count in the x axis's frames and counter.
    struct Glide {
        std::int32_t frames = 0, counter = 0, rate = 0, start = 0, distance = 0;
    };
    void fluid_axis(Glide& glide, std::int32_t position, std::int32_t centre, std::int32_t spread);
    Point parametric_position() const;

    TSettings_Form& settings_;
    DrawTarget& window_;
    PaletteTarget& palette_;
    AlertSink& alerts_;
    CursorPosition cursor_;

    std::vector<poly> rings_; // slots 0 ... N, allocated once
    std::int32_t ring_count_ = 0;

    bool aspect_animated_ = false;
    std::int32_t aspect_phase_x_ = 0, aspect_phase_y_ = 0, aspect_rate_x_ = 0, aspect_rate_y_ = 0;
    double aspect_amp_x_ = 0, aspect_amp_y_ = 0;

    std::int32_t shape_counter_ = 0, shape_period_ = 0;

    std::int32_t rot_counter_ = 0, rot_period_ = 0;
    std::int32_t precession_ = 0; // 16.16
    std::int32_t sin_rate_ = 0, sin_phase_ = 0;
    double sin_amplitude_ = 0;
    std::int32_t spin_range_ = 0;

    std::int32_t colour_rate_ = 0, colour_wrap_ = 0; // 16.16

    double motion_gain_ = 0;
    Glide glide_x_, glide_y_;

    std::int32_t par_phase_a_ = 0, par_rate_a_ = 0, par_phase_b_ = 0, par_rate_b_ = 0;
    double par_scale_c_ = 0;
    std::int32_t par_phase_d_ = 0, par_rate_d_ = 0, par_phase_e_ = 0, par_rate_e_ = 0;
    double par_scale_f_ = 0;

    std::int32_t centre_x_ = 0, centre_y_ = 0, radius_ = 0, spread_x_ = 0, spread_y_ = 0;

    DensityTable density_;
    std::int32_t target_x_ = 0, target_y_ = 0;

    LogPalette log_palette_;
    bool palette_made_ = false;
    bool use_palette_ = false;
    std::int32_t colour_count_ = 0, colour_max_ = 0;
    std::int32_t palette_phase_ = 0, palette_rate_ = 0; // 16.16
    std::unique_ptr<pal_animator> animator_;
    std::int32_t walk_offset_ = 0;

    std::int32_t design_fps_ = 1;
};

} // namespace nimbrel
