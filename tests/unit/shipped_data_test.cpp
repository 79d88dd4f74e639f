// The data Nimbrel ships with: palettes that parse as written and rotate without a seam, a packed
// settings file that holds exactly its reviewed text source, and settings that all apply, draw
// visible colourful rings and together show everything the engine can do.
#include "engine/bgra_frame.h"
#include "engine/indexed_surface.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine/software_palette.h"
#include "settings/file_io.h"
#include "settings/lzh.h"
#include "settings/progress.h"
#include "settings/random.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

using namespace nimbrel;

namespace {

const std::string Data = NIMBREL_REPO_DATA "/";
const std::string Palettes = Data + "Palette";

struct CollectedAlerts : AlertSink {
    std::vector<std::string> texts;
    void alert(const std::string& text) override { texts.push_back(text); }
};

Bytes file_bytes(const std::string& path) {
    Bytes b;
    EXPECT_TRUE(read_file(path, b)) << path;
    return b;
}

// The lines of a text file without their CR LF ends; `crlf_only` tells whether every line ended
// with CR LF.
std::vector<std::string> crlf_lines(const std::string& path, bool& crlf_only) {
    const Bytes bytes = file_bytes(path);
    std::vector<std::string> lines;
    std::string line;
    crlf_only = !bytes.empty() && bytes.back() == '\n';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') {
            line += static_cast<char>(bytes[i]);
            continue;
        }
        if (line.empty() || line.back() != '\r') crlf_only = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        line.clear();
    }
    return lines;
}

int colour_distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    int d = 0;
    for (int c = 0; c < 3; ++c)
        d = std::max(d, std::abs(a[c] - b[c]));
    return d;
}

struct LoadedSettings {
    Startup_report report;
    NoProgressBox no_box;
    Nimbrel_settings_file file{report, no_box};
};

} // namespace

TEST(ShippedData, PalettesParseAsWrittenAndRotateWithoutASeam) {
    const auto names = list_palette_files(Palettes);
    ASSERT_GE(names.size(), 16u);
    set_palette_folder(Palettes);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        bool crlf = false;
        const auto lines = crlf_lines(Palettes + "/" + name, crlf);
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(crlf) << "lines end with CR LF, as Windows tools write them";
        EXPECT_EQ(name.find(' '), std::string::npos) << "a setting could not name it";

        // The first line counts exactly the colour lines that follow, within what the saver
        // animates, and each colour line holds three values 0..255.
        const int count = std::atoi(lines[0].c_str());
        EXPECT_EQ(std::to_string(count), lines[0]);
        EXPECT_GE(count, 16);
        EXPECT_LE(count, 236);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
        std::vector<std::array<int, 3>> colours;
        for (int i = 1; i <= count; ++i) {
            std::istringstream in(lines[i]);
            std::array<int, 3> rgb{-1, -1, -1};
            std::string rest;
            in >> rgb[0] >> rgb[1] >> rgb[2];
            EXPECT_FALSE(in >> rest) << "line " << i << ": " << lines[i];
            for (int v : rgb)
                EXPECT_TRUE(v >= 0 && v <= 255) << "line " << i << ": " << lines[i];
            colours.push_back(rgb);
        }

        // The engine reads the same colours.
        SoftwarePalette palette;
        LogPalette log;
        CollectedAlerts alerts;
        ASSERT_TRUE(load_palette_file(name, log, palette, alerts));
        EXPECT_TRUE(alerts.texts.empty());
        ASSERT_EQ(log.loaded_count, count);
        for (int i = 0; i < count; ++i) {
            const PaletteEntry& e = log.entries[10 + i];
            EXPECT_EQ((std::array<int, 3>{e.red, e.green, e.blue}), colours[i]) << "colour " << i;
        }

        // Rotation joins the last colour to the first: a smooth gradient shows no seam there
        // (a banded one has steps as big everywhere).
        int largest_step = 0;
        for (int i = 1; i < count; ++i)
            largest_step = std::max(largest_step, colour_distance(colours[i - 1], colours[i]));
        EXPECT_LE(colour_distance(colours.back(), colours.front()), 2 * largest_step);
    }
}

TEST(ShippedData, PackedSettingsHoldTheirTextSourceExactly) {
    EXPECT_EQ(lzh_unpack(file_bytes(Data + "Nimbrel_32_Settings.cmp")),
              file_bytes(Data + "Nimbrel_32_Settings.txt"))
        << "repack with: build/bin/nimbrel-settings pack data/Nimbrel_32_Settings.txt "
           "data/Nimbrel_32_Settings.cmp";
    bool crlf = false;
    crlf_lines(Data + "Nimbrel_32_Settings.txt", crlf);
    EXPECT_TRUE(crlf) << "the program writes CR LF line ends";
}

TEST(ShippedData, SettingsApplyAndTogetherShowEveryFeature) {
    LoadedSettings loaded;
    ASSERT_TRUE(loaded.file.Load(Data + "Nimbrel_32_Settings.cmp", false));
    ASSERT_EQ(loaded.report.Error_set, 0) << loaded.report.Error_text;
    const int count = loaded.file.Count();
    ASSERT_GE(count, 48);
    const auto palettes = list_palette_files(Palettes);

    // What at least one setting must show, by the condition that shows it.
    std::map<std::string, int> seen;
    const auto need = [&](const char* feature, bool shown) { seen[feature] += shown ? 1 : 0; };
    std::set<std::string> names;
    int tagged = 0;
    for (int i = 0; i < count; ++i) {
        const Nimbrel_setting& setting = loaded.file.Setting(i);
        SCOPED_TRACE(setting.Get_name());
        EXPECT_TRUE(names.insert(setting.Get_name()).second) << "names tell settings apart";
        TSettings_Form p{std::vector<std::string>(palettes)};
        const auto error = p.Apply_setting(setting.Lines);
        ASSERT_FALSE(error) << "line " << error->line << ": " << error->reason;
        tagged += setting.Is_tagged();

        // A palette named in a setting is shipped; "*" asks for a random one.
        for (const std::string& line : setting.Lines) {
            std::istringstream in(line);
            std::string param, value;
            in >> param >> value;
            if (param != "palette_list") continue;
            EXPECT_TRUE(value == "*" ||
                        std::find(palettes.begin(), palettes.end(), value) != palettes.end())
                << value;
        }

        for (Param m : {Param::no_motion, Param::mouse_motion, Param::ran_fluid_motion,
                        Param::ran_jump_motion, Param::par_motion, Param::no_rotation,
                        Param::sin_rotation, Param::ran_rotation, Param::shape_per,
                        Param::shape_ran, Param::draw_solid, Param::draw_vertices,
                        Param::UsePalette, Param::RGBwalk, Param::ran_gaussian, Param::ran_uniform})
            need(param_info(m).name, p.on(m));
        const bool random_rotation = p.on(Param::ran_rotation);
        need("periodic random rotation", random_rotation && p.on(Param::rot_ran_per));
        need("random random rotation", random_rotation && p.on(Param::rot_ran_ran));
        need("in_out on", p.on(Param::in_out));
        need("in_out off", !p.on(Param::in_out));
        need("aspect oscillation", p.pos(Param::aspect_f_x) != 0 || p.pos(Param::aspect_f_y) != 0);
        need("aspect_sync", p.on(Param::aspect_sync));
        need("rub_out off", !p.on(Param::rub_out));
        need("negative perspective", p.pos(Param::perspective) < 0);
        need("positive perspective", p.pos(Param::perspective) > 0);
        need("fixed speed", p.on(Param::fix_speed));
        need("free speed", !p.on(Param::fix_speed));
        need("more than 200 rings", p.pos(Param::max_polygons) > 200);
        need("random palette", p.on(Param::UsePalette) && p.palette_index() < 0);
    }
    for (const auto& [feature, settings] : seen)
        EXPECT_GT(settings, 0) << "no setting shows " << feature;
    EXPECT_GE(tagged * 3, count) << "cycling through tagged settings has plenty to pick from";
    EXPECT_LT(tagged, count) << "tagging means choosing";
}

// Each setting, drawn for a few seconds on a small screen, lights a fair share of it in several
// colours: no setting is blank, black or a single line.
TEST(ShippedData, EverySettingDrawsColourfulRings) {
    LoadedSettings loaded;
    ASSERT_TRUE(loaded.file.Load(Data + "Nimbrel_32_Settings.cmp", false));
    ASSERT_TRUE(find_palettes(Palettes));
    for (int i = 0; i < loaded.file.Count(); ++i) {
        const Nimbrel_setting& setting = loaded.file.Setting(i);
        SCOPED_TRACE(setting.Get_name());
        set_random_seed(7);
        TSettings_Form params(palette_folder());
        ASSERT_FALSE(params.Apply_setting(setting.Lines));

        IndexedSurface surface(320, 240);
        SoftwarePalette palette;
        CollectedAlerts alerts;
        Nimbrel engine(params, surface, palette, alerts);
        for (int f = 0; f < 120; ++f)
            engine.frame_step(false);
        EXPECT_TRUE(alerts.texts.empty());

        std::set<std::uint32_t> colours;
        std::size_t lit = 0;
        for (std::uint32_t pixel : to_bgra32(surface, palette.entries())) {
            if ((pixel & 0xFFFFFF) == 0) continue;
            ++lit;
            colours.insert(pixel & 0xFFFFFF);
        }
        // Corner points alone light far fewer pixels than outlines.
        EXPECT_GT(lit, params.on(Param::draw_vertices) ? 300u : 3000u);
        EXPECT_GE(colours.size(), 3u);
    }
}
