// Whole-engine checksums of the drawing calls and the final palette for settings that cover every
// motion, rotation, shape timing, draw style and colour source. The expected values come from the
// independent model next to this file (engine_golden_model.py), not from the engine's output.
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine_fakes.h"
#include "settings/parameters.h"
#include "settings/random.h"
#include "settings/settings_form.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace nimbrel;
using namespace nimbrel::testing;

namespace {

struct Golden {
    const char* name;
    std::uint32_t seed;
    int frames;
    const char* settings; // "name=position"; a bare name switches on, "name=0" off
    int palette_index;
    bool moving_cursor;
    int colour_count; // shows which colour source ran
    std::uint64_t draw_sum, palette_sum;
};

const Golden goldens[] = {
    {"defaults_with_sine_and_fluid", 1234567u, 150, "sin_rotation ran_fluid_motion", -1, false, 234,
     3158683877488235781ull, 16738032969608627671ull},
    {"random_everything_in_vertices", 42u, 150,
     "ran_rotation rot_ran_ran rot_ran_freq=60 max_rot_speed=40 min_rot_speed=-20 shape_ran "
     "shape_freq=70 density1=-50 density2=-30 density3=0 density4=-100 density6=-70 "
     "density10=-20 ran_jump_motion ran_uniform mot_ran_freq=90 draw_vertices aspect_a_x=60 "
     "aspect_a_y=30 aspect_f_x=17 aspect_f_y=-9 in_out perspective=-64 vanishing=20 "
     "control_points=16 Gamma=20 eccentricity=8 palette_inc=-128 colour_step=-37 "
     "max_polygons=80",
     -1, false, 224, 15056621657796423425ull, 2140563276970556362ull},
    {"mouse_with_palette_file_no_erase", 987654321u, 150,
     "mouse_motion mot_b_damping=126 no_rotation aspect_sync aspect_f_x=40 aspect_a_x=80 "
     "UsePalette palette_inc=77 perspective=100 vanishing=30 density1=-40 density2=-40 "
     "density3=0 density5=-60 density10=-30 rub_out=0 colour_step=128 max_polygons=60 "
     "magnification=180",
     -1, true, 40, 11259520082670290747ull, 8505955186688726306ull},
    {"parametric_sine_with_three_colours", 7u, 150,
     "par_motion mot_par_a=37 mot_par_b=5 mot_par_c=100 mot_par_d=23 mot_par_e=11 mot_par_f=90 "
     "sin_rotation ampl=200 freq=-33 precess=17 shape_freq=90 density2=-100 density3=-50 "
     "density7=-50 UsePalette palette_inc=128 colour_step=-128 max_polygons=40 vanishing=50",
     1, false, 3, 5296514925921725995ull, 15753028213824335531ull},
    {"periodic_random_rotation_full_densities", 31337u, 120,
     "rot_ran_freq=80 max_rot_speed=100 min_rot_speed=10 no_motion density1=-100 density2=-100 "
     "density3=-100 density4=-100 density5=-100 density6=-100 density7=-100 density8=-100 "
     "density9=-100 density10=-100 magnification=256 perspective=128 max_polygons=120 "
     "control_points=5 eccentricity=1 Gamma=7 palette_inc=50 shape_freq=97 colour_step=3",
     -1, false, 235, 9544844498084623483ull, 3921997933717820441ull},
    {"gaussian_jumps_periodic_rotation", 2718281u, 150,
     "ran_jump_motion mot_ran_freq=93 ran_rotation rot_ran_freq=85 min_rot_speed=-30 "
     "max_rot_speed=30 in_out vanishing=10 perspective=-128 shape_ran shape_freq=40 "
     "density3=-20 density4=-20 density8=-60 eccentricity=16 control_points=7 Gamma=3 "
     "palette_inc=9 colour_step=55 aspect_a_y=50 max_polygons=70",
     -1, false, 231, 189854108628559544ull, 692096361685149275ull},
};

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

void apply(TSettings_Form& s, const std::string& settings) {
    std::istringstream in(settings);
    for (std::string token; in >> token;) {
        const std::size_t eq = token.find('=');
        const std::optional<Param> p = find_param(token.substr(0, eq));
        ASSERT_TRUE(p) << token;
        const int value = eq == std::string::npos ? 1 : std::stoi(token.substr(eq + 1));
        if (param_info(*p).kind == Kind::Scroll)
            s.set_position(*p, value);
        else
            s.set_on(*p, value != 0);
    }
}

} // namespace

TEST(EngineGolden, DrawingAndPaletteChecksums) {
    // Palette folder contents, listed in this order.
    const std::map<std::string, std::map<std::string, std::string>> folders = {
        {"mouse_with_palette_file_no_erase", {{"g3.pal", fancy_palette()}}},
        {"parametric_sine_with_three_colours",
         {{"a.pal", "5\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n13 14 15\n"},
          {"b.pal", "3\n255 0 0\n0 255 0\n0 0 255\n"}}}};
    for (const Golden& g : goldens) {
        SCOPED_TRACE(g.name);
        nimbrel_test::Temp_folder folder;
        std::vector<std::string> names;
        if (folders.count(g.name))
            for (const auto& [name, text] : folders.at(g.name)) {
                nimbrel_test::write_text(folder.file(name), text);
                names.push_back(name);
            }
        set_palette_folder(folder.dir());
        TSettings_Form settings(names);
        apply(settings, g.settings);
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
            EXPECT_EQ(k, g.moving_cursor ? g.frames : 0);
            EXPECT_EQ(window.sum.value, g.draw_sum);
            EXPECT_EQ(palette.checksum(), g.palette_sum);
        }
        EXPECT_TRUE(alerts.texts.empty());
    }
}
