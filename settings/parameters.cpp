#include "settings/parameters.h"

#include "settings/text_lines.h"

#include <array>
#include <cstddef>

namespace nimbrel {
namespace {

constexpr Kind S = Kind::Scroll;
constexpr Kind C = Kind::Check;
constexpr Kind R = Kind::Radio;
constexpr Group N = Group::None;

// In the order of the Param enumeration.
constexpr std::array<ParamInfo, Param_count> kParams{{
    {"max_polygons", S, "Max. Nimbrel", 0, 200, 50, N},
    {"vanishing", S, "Vanishing point", 0, 100, 0, N},
    {"perspective", S, "Perspective", -128, 128, 0, N},
    {"magnification", S, "Magnification", 0, 256, 100, N},
    {"in_out", C, "In/Out", 0, 1, 0, N},
    {"rub_out", C, "Erase", 0, 1, 1, N},
    {"hide_cursor", C, "Hide cursor", 0, 1, 0, N},
    {"Screensaver", C, "Screensaver", 0, 1, 0, N},
    {"aspect_sync", C, "Sync all", 0, 1, 0, N},
    {"lock_xy_aspect", C, "Lock x,y", 0, 1, 0, N},
    {"aspect_a_x", S, "Amplitude x", 0, 100, 100, N},
    {"aspect_a_y", S, "Amplitude y", 0, 100, 100, N},
    {"aspect_f_x", S, "Frequency x", -128, 128, 0, N},
    {"aspect_f_y", S, "Frequency y", -128, 128, 0, N},
    {"no_rotation", R, "No rotation", 0, 1, 0, Group::Rotation},
    {"sin_rotation", R, "Sinusoidal rotation pattern", 0, 1, 0, Group::Rotation},
    {"ran_rotation", R, "Random rotation pattern", 0, 1, 0, Group::Rotation},
    {"ampl", S, "Amplitude", 0, 256, 25, N},
    {"freq", S, "Frequency", -128, 128, 10, N},
    {"precess", S, "Precession", -128, 128, 0, N},
    {"max_rot_speed", S, "Max. speed", -128, 128, 0, N},
    {"min_rot_speed", S, "Min. speed", -128, 128, 0, N},
    {"rot_ran_per", R, "Periodic", 0, 1, 1, Group::RotationTiming},
    {"rot_ran_ran", R, "Random", 0, 1, 0, Group::RotationTiming},
    {"rot_ran_freq", S, "Frequency", 2, 100, 2, N},
    {"density1", S, "1", -100, 0, 0, N},
    {"density2", S, "2", -100, 0, 0, N},
    {"density3", S, "3", -100, 0, -100, N},
    {"density4", S, "4", -100, 0, 0, N},
    {"density5", S, "5", -100, 0, 0, N},
    {"density6", S, "6", -100, 0, 0, N},
    {"density7", S, "7", -100, 0, 0, N},
    {"density8", S, "8", -100, 0, 0, N},
    {"density9", S, "9", -100, 0, 0, N},
    {"density10", S, "10", -100, 0, 0, N},
    {"shape_per", R, "Periodic", 0, 1, 1, Group::ShapeTiming},
    {"shape_ran", R, "Random", 0, 1, 0, Group::ShapeTiming},
    {"shape_freq", S, "Frequency", 2, 100, 100, N},
    {"no_motion", R, "No motion", 0, 1, 0, Group::Motion},
    {"mouse_motion", R, "Follow mouse", 0, 1, 0, Group::Motion},
    {"ran_fluid_motion", R, "Random fluid motion", 0, 1, 0, Group::Motion},
    {"ran_jump_motion", R, "Random periodic jumps", 0, 1, 0, Group::Motion},
    {"par_motion", R, "Parametric motion x,y", 0, 1, 0, Group::Motion},
    {"mot_b_damping", S, "Damping", 0, 128, 50, N},
    {"ran_gaussian", R, "Gaussian", 0, 1, 1, Group::Distribution},
    {"ran_uniform", R, "Uniform", 0, 1, 0, Group::Distribution},
    {"mot_ran_freq", S, "Frequency", 2, 100, 2, N},
    {"lock_xy_motion", C, "Lock x,y scrollbars", 0, 1, 0, N},
    {"mot_par_a", S, "f x", 0, 128, 0, N},
    {"mot_par_b", S, "r x", 0, 128, 0, N},
    {"mot_par_c", S, "s x", 0, 128, 0, N},
    {"mot_par_d", S, "f y", 0, 128, 0, N},
    {"mot_par_e", S, "r y", 0, 128, 0, N},
    {"mot_par_f", S, "s y", 0, 128, 0, N},
    {"draw_solid", R, "Solid lines", 0, 1, 1, Group::DrawStyle},
    {"draw_vertices", R, "Just vertices", 0, 1, 0, Group::DrawStyle},
    {"UsePalette", R, "Palette", 0, 1, 0, Group::ColourSource},
    {"RGBwalk", R, "Random loop in RGB space", 0, 1, 1, Group::ColourSource},
    {"palette_list", Kind::PaletteChoice, "Palette", 0, 0, 0, N},
    {"control_points", S, "Control points", 3, 16, 3, N},
    {"eccentricity", S, "Eccentricity", 1, 16, 2, N},
    {"Gamma", S, "Pseudo Gamma", 1, 20, 1, N},
    {"palette_inc", S, "Palette cycling", -128, 128, 0, N},
    {"colour_step", S, "Colour step size", -128, 128, 10, N},
    {"pause_freeze", R, "Freeze", 0, 1, 0, Group::PauseMode},
    {"pause_continue", R, "Continue cycling", 0, 1, 0, Group::PauseMode},
    {"fix_speed", C, "Try to fix speed on all machines", 0, 1, 0, N},
    {"speed_scroll", S, "Designed speed", 1, 200, 1, N},
}};

} // namespace

const ParamInfo& param_info(Param p) {
    return kParams[static_cast<std::size_t>(p)];
}

std::optional<Param> find_param(std::string_view name) {
    for (std::size_t i = 0; i < kParams.size(); ++i)
        if (equal_ignoring_case(kParams[i].name, name)) return static_cast<Param>(i);
    return std::nullopt;
}

} // namespace nimbrel
