// Whole-engine checksums: for a handful of settings covering every motion, rotation, shape timing,
// draw style and colour source, the stream of drawing calls and the final palette after a fixed
// number of frames from a fixed seed. Any change to a rule of the engine breaks at least one.
// The expected values were derived with an independent model of the rules
// (engine_golden_model.py next to this file), not copied from the engine's output.
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine_fakes.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

using namespace nimbrel;
using namespace nimbrel::testing;

namespace {

void densities(TSettings_Form& s, std::initializer_list<std::pair<int, int>> weights) {
    static constexpr Param d[10] = {
        Param::density1, Param::density2, Param::density3, Param::density4, Param::density5,
        Param::density6, Param::density7, Param::density8, Param::density9, Param::density10};
    for (Param p : d)
        s.set_position(p, 0);
    for (auto [sides, weight] : weights)
        s.set_position(d[sides - 1], -weight);
}

// 40 colours with uneven spacing, values beyond a byte and one short line.
std::string fancy_palette() {
    std::string text = "40 colours\n";
    for (int k = 0; k < 40; ++k) {
        text += std::string(k % 3, ' ') + std::to_string(k * 37 % 256) +
                std::string(1 + k % 2, ' ') + std::to_string(k * 91 + 5);
        if (k != 17) text += " " + std::to_string(300 - k * 13);
        text += "\n";
    }
    return text;
}

struct Golden {
    const char* name;
    std::uint32_t seed;
    int frames;
    std::function<void(TSettings_Form&)> setup;
    std::map<std::string, std::string> files; // palette folder contents, listed in this order
    int palette_index;
    bool moving_cursor;
    int colour_count; // shows which colour source ran
    std::uint64_t draw_sum, palette_sum;
};

void PrintTo(const Golden& g, std::ostream* os) {
    *os << g.name;
}

const Golden goldens[] = {
    {"defaults_with_sine_and_fluid",
     1234567u,
     150,
     [](TSettings_Form& s) {
         s.set_on(Param::sin_rotation, true);
         s.set_on(Param::ran_fluid_motion, true);
     },
     {},
     -1,
     false,
     234,
     3158683877488235781ull,
     16738032969608627671ull},
    {"random_everything_in_vertices",
     42u,
     150,
     [](TSettings_Form& s) {
         s.set_on(Param::ran_rotation, true);
         s.set_on(Param::rot_ran_ran, true);
         s.set_position(Param::rot_ran_freq, 60);
         s.set_position(Param::max_rot_speed, 40);
         s.set_position(Param::min_rot_speed, -20);
         s.set_on(Param::shape_ran, true);
         s.set_position(Param::shape_freq, 70);
         densities(s, {{1, 50}, {2, 30}, {4, 100}, {6, 70}, {10, 20}});
         s.set_on(Param::ran_jump_motion, true);
         s.set_on(Param::ran_uniform, true);
         s.set_position(Param::mot_ran_freq, 90);
         s.set_on(Param::draw_vertices, true);
         s.set_position(Param::aspect_a_x, 60);
         s.set_position(Param::aspect_a_y, 30);
         s.set_position(Param::aspect_f_x, 17);
         s.set_position(Param::aspect_f_y, -9);
         s.set_on(Param::in_out, true);
         s.set_position(Param::perspective, -64);
         s.set_position(Param::vanishing, 20);
         s.set_position(Param::control_points, 16);
         s.set_position(Param::Gamma, 20);
         s.set_position(Param::eccentricity, 8);
         s.set_position(Param::palette_inc, -128);
         s.set_position(Param::colour_step, -37);
         s.set_position(Param::max_polygons, 80);
     },
     {},
     -1,
     false,
     224,
     15056621657796423425ull,
     2140563276970556362ull},
    {"mouse_with_palette_file_no_erase",
     987654321u,
     150,
     [](TSettings_Form& s) {
         s.set_on(Param::mouse_motion, true);
         s.set_position(Param::mot_b_damping, 126);
         s.set_on(Param::no_rotation, true);
         s.set_on(Param::aspect_sync, true);
         s.set_position(Param::aspect_f_x, 40);
         s.set_position(Param::aspect_a_x, 80);
         s.set_on(Param::UsePalette, true);
         s.set_position(Param::palette_inc, 77);
         s.set_position(Param::perspective, 100);
         s.set_position(Param::vanishing, 30);
         densities(s, {{1, 40}, {2, 40}, {5, 60}, {10, 30}});
         s.set_on(Param::rub_out, false);
         s.set_position(Param::colour_step, 128);
         s.set_position(Param::max_polygons, 60);
         s.set_position(Param::magnification, 180);
     },
     {{"g3.pal", fancy_palette()}},
     -1,
     true,
     40,
     11259520082670290747ull,
     8505955186688726306ull},
    {"parametric_sine_with_three_colours",
     7u,
     150,
     [](TSettings_Form& s) {
         s.set_on(Param::par_motion, true);
         s.set_position(Param::mot_par_a, 37);
         s.set_position(Param::mot_par_b, 5);
         s.set_position(Param::mot_par_c, 100);
         s.set_position(Param::mot_par_d, 23);
         s.set_position(Param::mot_par_e, 11);
         s.set_position(Param::mot_par_f, 90);
         s.set_on(Param::sin_rotation, true);
         s.set_position(Param::ampl, 200);
         s.set_position(Param::freq, -33);
         s.set_position(Param::precess, 17);
         s.set_position(Param::shape_freq, 90);
         densities(s, {{2, 100}, {3, 50}, {7, 50}});
         s.set_on(Param::UsePalette, true);
         s.set_position(Param::palette_inc, 128);
         s.set_position(Param::colour_step, -128);
         s.set_position(Param::max_polygons, 40);
         s.set_position(Param::vanishing, 50);
     },
     {{"a.pal", "5\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n13 14 15\n"},
      {"b.pal", "3\n255 0 0\n0 255 0\n0 0 255\n"}},
     1,
     false,
     3,
     5296514925921725995ull,
     15753028213824335531ull},
    {"periodic_random_rotation_full_densities",
     31337u,
     120,
     [](TSettings_Form& s) {
         s.set_position(Param::rot_ran_freq, 80);
         s.set_position(Param::max_rot_speed, 100);
         s.set_position(Param::min_rot_speed, 10);
         s.set_on(Param::no_motion, true);
         densities(s, {{1, 100},
                       {2, 100},
                       {3, 100},
                       {4, 100},
                       {5, 100},
                       {6, 100},
                       {7, 100},
                       {8, 100},
                       {9, 100},
                       {10, 100}});
         s.set_position(Param::magnification, 256);
         s.set_position(Param::perspective, 128);
         s.set_position(Param::max_polygons, 120);
         s.set_position(Param::control_points, 5);
         s.set_position(Param::eccentricity, 1);
         s.set_position(Param::Gamma, 7);
         s.set_position(Param::palette_inc, 50);
         s.set_position(Param::shape_freq, 97);
         s.set_position(Param::colour_step, 3);
     },
     {},
     -1,
     false,
     235,
     9544844498084623483ull,
     3921997933717820441ull},
    {"gaussian_jumps_periodic_rotation",
     2718281u,
     150,
     [](TSettings_Form& s) {
         s.set_on(Param::ran_jump_motion, true);
         s.set_position(Param::mot_ran_freq, 93);
         s.set_on(Param::ran_rotation, true);
         s.set_position(Param::rot_ran_freq, 85);
         s.set_position(Param::min_rot_speed, -30);
         s.set_position(Param::max_rot_speed, 30);
         s.set_on(Param::in_out, true);
         s.set_position(Param::vanishing, 10);
         s.set_position(Param::perspective, -128);
         s.set_on(Param::shape_ran, true);
         s.set_position(Param::shape_freq, 40);
         densities(s, {{3, 20}, {4, 20}, {8, 60}});
         s.set_position(Param::eccentricity, 16);
         s.set_position(Param::control_points, 7);
         s.set_position(Param::Gamma, 3);
         s.set_position(Param::palette_inc, 9);
         s.set_position(Param::colour_step, 55);
         s.set_position(Param::aspect_a_y, 50);
         s.set_position(Param::max_polygons, 70);
     },
     {},
     -1,
     false,
     231,
     189854108628559544ull,
     692096361685149275ull},
};

class EngineGolden : public ::testing::TestWithParam<Golden> {};

TEST_P(EngineGolden, DrawingAndPaletteChecksums) {
    const Golden& g = GetParam();
    const auto folder =
        std::filesystem::temp_directory_path() / ("nimbrel_golden_" + std::string(g.name));
    std::filesystem::create_directories(folder);
    std::vector<std::string> names;
    for (const auto& [name, text] : g.files) {
        std::ofstream(folder / name, std::ios::binary) << text;
        names.push_back(name);
    }
    set_palette_folder(folder);

    TSettings_Form settings(names);
    g.setup(settings);
    settings.set_palette_index(g.palette_index);
    set_random_seed(g.seed);

    RecordingTarget window(160, 120);
    RecordingPalette palette;
    RecordingAlerts alerts;
    int k = 0;
    CursorPosition cursor;
    if (g.moving_cursor)
        cursor = [&k] {
            ++k;
            return Point{k * 7 % 160, k * 3 % 120};
        };
    {
        Nimbrel engine(settings, window, palette, alerts, cursor);
        EXPECT_EQ(engine.colour_count(), g.colour_count);
        for (int f = 0; f < g.frames; ++f)
            engine.frame_step(false);
        if (g.moving_cursor) {
            EXPECT_EQ(k, g.frames);
        }
        EXPECT_EQ(window.sum.value, g.draw_sum) << g.name;
        EXPECT_EQ(palette.checksum(), g.palette_sum) << g.name;
    }
    EXPECT_TRUE(alerts.texts.empty());
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Settings, EngineGolden, ::testing::ValuesIn(goldens),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
