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

// Every line ends with CR LF, as Windows tools write them.
bool crlf_only(const Bytes& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    return !text.empty() && text.back() == '\n';
}

int colour_distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

} // namespace

TEST(ShippedData, PalettesParseAsWrittenAndRotateWithoutASeam) {
    const auto names = list_palette_files(Palettes);
    ASSERT_GE(names.size(), 16u);
    set_palette_folder(Palettes);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const Bytes bytes = file_bytes(Palettes + "/" + name);
        EXPECT_TRUE(crlf_only(bytes));
        EXPECT_EQ(name.find(' '), std::string::npos) << "a setting could not name it";

        // The first line counts exactly the colour lines that follow, within what the saver
        // animates, and each colour line holds three values 0..255.
        std::istringstream lines(std::string(bytes.begin(), bytes.end()));
        std::string line;
        std::getline(lines, line);
        const int count = std::atoi(line.c_str());
        EXPECT_EQ(std::to_string(count) + "\r", line);
        EXPECT_GE(count, 16);
        EXPECT_LE(count, 236);
        std::vector<std::array<int, 3>> colours;
        while (std::getline(lines, line)) {
            std::istringstream in(line);
            std::array<int, 3> rgb{-1, -1, -1};
            std::string rest;
            in >> rgb[0] >> rgb[1] >> rgb[2];
            EXPECT_FALSE(in >> rest) << line;
            for (int v : rgb)
                EXPECT_TRUE(v >= 0 && v <= 255) << line;
            colours.push_back(rgb);
        }
        ASSERT_EQ(colours.size(), static_cast<std::size_t>(count));

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
    const Bytes text = file_bytes(Data + "Nimbrel_32_Settings.txt");
    EXPECT_EQ(lzh_unpack(file_bytes(Data + "Nimbrel_32_Settings.cmp")), text)
        << "repack with: build/bin/nimbrel-settings pack data/Nimbrel_32_Settings.txt "
           "data/Nimbrel_32_Settings.cmp";
    EXPECT_TRUE(crlf_only(text)) << "the program writes CR LF line ends";
}

// Every setting applies and, drawn for a few seconds on a small screen, lights a fair share of
// it in several colours (no setting is blank, black or a single line); together the settings show
// everything the engine can do.
TEST(ShippedData, SettingsApplyDrawColourfulRingsAndTogetherShowEveryFeature) {
    Startup_report report;
    NoProgressBox no_box;
    Nimbrel_settings_file file{report, no_box};
    ASSERT_TRUE(file.Load(Data + "Nimbrel_32_Settings.cmp", false));
    ASSERT_EQ(report.Error_set, 0) << report.Error_text;
    ASSERT_GE(file.Count(), 48);
    ASSERT_TRUE(find_palettes(Palettes));
    const auto palettes = list_palette_files(Palettes);

    // What at least one setting must show, by the condition that shows it.
    std::map<std::string, int> seen;
    const auto need = [&](const char* feature, bool shown) { seen[feature] += shown ? 1 : 0; };
    std::set<std::string> names;
    int tagged = 0;
    for (int i = 0; i < file.Count(); ++i) {
        const Nimbrel_setting& setting = file.Setting(i);
        SCOPED_TRACE(setting.Get_name());
        EXPECT_TRUE(names.insert(setting.Get_name()).second) << "names tell settings apart";
        set_random_seed(7);
        TSettings_Form p(palette_folder());
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

        for (Param m :
             {Param::no_motion, Param::mouse_motion, Param::ran_fluid_motion,
              Param::ran_jump_motion, Param::par_motion, Param::no_rotation, Param::sin_rotation,
              Param::ran_rotation, Param::shape_per, Param::shape_ran, Param::draw_solid,
              Param::draw_vertices, Param::UsePalette, Param::RGBwalk, Param::ran_gaussian,
              Param::ran_uniform, Param::in_out, Param::aspect_sync, Param::fix_speed})
            need(param_info(m).name, p.on(m));
        const bool random_rotation = p.on(Param::ran_rotation);
        need("periodic random rotation", random_rotation && p.on(Param::rot_ran_per));
        need("random random rotation", random_rotation && p.on(Param::rot_ran_ran));
        need("in_out off", !p.on(Param::in_out));
        need("aspect oscillation", p.pos(Param::aspect_f_x) != 0 || p.pos(Param::aspect_f_y) != 0);
        need("rub_out off", !p.on(Param::rub_out));
        need("negative perspective", p.pos(Param::perspective) < 0);
        need("positive perspective", p.pos(Param::perspective) > 0);
        need("free speed", !p.on(Param::fix_speed));
        need("more than 200 rings", p.pos(Param::max_polygons) > 200);
        need("random palette", p.on(Param::UsePalette) && p.palette_index() < 0);

        IndexedSurface surface(320, 240);
        SoftwarePalette palette;
        CollectedAlerts alerts;
        Nimbrel engine(p, surface, palette, alerts);
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
        EXPECT_GT(lit, p.on(Param::draw_vertices) ? 300u : 3000u);
        EXPECT_GE(colours.size(), 3u);
    }
    for (const auto& [feature, settings] : seen)
        EXPECT_GT(settings, 0) << "no setting shows " << feature;
    EXPECT_GE(tagged * 3, file.Count())
        << "cycling through tagged settings has plenty to pick from";
    EXPECT_LT(tagged, file.Count()) << "tagging means choosing";
}
