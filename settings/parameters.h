// The 68 parameters of a setting: names, kinds, captions, ranges, defaults, radio groups.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace nimbrel {

enum class Kind : std::uint8_t { Scroll, Check, Radio, PaletteChoice };

enum class Group : std::int8_t {
    None = -1,
    Rotation,       // no_rotation, sin_rotation, ran_rotation
    RotationTiming, // rot_ran_per, rot_ran_ran
    ShapeTiming,    // shape_per, shape_ran
    Motion,         // no_motion ... par_motion
    Distribution,   // ran_gaussian, ran_uniform
    DrawStyle,      // draw_solid, draw_vertices
    ColourSource,   // UsePalette, RGBwalk
    PauseMode,      // pause_freeze, pause_continue
};

// Enumerators carry the holder's control names so code reads like the settings text; grouped
// as the settings text groups them.
// clang-format off
enum class Param : std::uint8_t {
    max_polygons, vanishing, perspective, magnification,
    in_out, rub_out, hide_cursor, Screensaver,
    aspect_sync, lock_xy_aspect, aspect_a_x, aspect_a_y, aspect_f_x, aspect_f_y,
    no_rotation, sin_rotation, ran_rotation,
    ampl, freq, precess, max_rot_speed, min_rot_speed,
    rot_ran_per, rot_ran_ran, rot_ran_freq,
    density1, density2, density3, density4, density5,
    density6, density7, density8, density9, density10,
    shape_per, shape_ran, shape_freq,
    no_motion, mouse_motion, ran_fluid_motion, ran_jump_motion, par_motion,
    mot_b_damping, ran_gaussian, ran_uniform, mot_ran_freq, lock_xy_motion,
    mot_par_a, mot_par_b, mot_par_c, mot_par_d, mot_par_e, mot_par_f,
    draw_solid, draw_vertices,
    UsePalette, RGBwalk, palette_list,
    control_points, eccentricity, Gamma, palette_inc, colour_step,
    pause_freeze, pause_continue,
    fix_speed, speed_scroll,
};
// clang-format on

inline constexpr int Param_count = 68;

struct ParamInfo {
    const char* name;
    Kind kind;
    const char* caption;
    std::int32_t min, max, def; // scroll: range and default position; check/radio: def is 0/1
    Group group;
};

const ParamInfo& param_info(Param p);
// Finds a parameter by name without regard to ASCII case.
std::optional<Param> find_param(std::string_view name);

} // namespace nimbrel
