// The data the saver ships with: the packed settings file holds exactly its text source, every
// setting applies cleanly and draws visible, colourful rings, and together the settings use every
// motion, rotation, draw style and colour source.
#include "engine/bgra_frame.h"
#include "engine/indexed_surface.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine/software_palette.h"
#include "settings/file_io.h"
#include "settings/lzh.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace nimbrel;

namespace {

const std::string Data = NIMBREL_REPO_DATA "/";

struct QuietAlerts : AlertSink {
    std::vector<std::string> texts;
    void alert(const std::string& text) override { texts.push_back(text); }
};

Bytes file_bytes(const std::string& path) {
    Bytes b;
    EXPECT_TRUE(read_file(path, b)) << path;
    return b;
}

} // namespace

TEST(StarterData, PackedSettingsHoldTheirTextSourceExactly) {
    EXPECT_EQ(lzh_unpack(file_bytes(Data + "Nimbrel_32_Settings.cmp")),
              file_bytes(Data + "Nimbrel_32_Settings.txt"))
        << "repack with: build/bin/nimbrel-settings pack data/Nimbrel_32_Settings.txt "
           "data/Nimbrel_32_Settings.cmp";
}

TEST(StarterData, PalettesLoad) {
    const auto names = list_palette_files(Data + "Palette");
    ASSERT_GE(names.size(), 4u);
    set_palette_folder(Data + "Palette");
    for (const std::string& name : names) {
        SoftwarePalette palette;
        LogPalette log;
        QuietAlerts alerts;
        ASSERT_TRUE(load_palette_file(name, log, palette, alerts)) << name;
        EXPECT_GT(log.loaded_count, 50) << name;
        EXPECT_TRUE(alerts.texts.empty());
    }
}

TEST(StarterData, SettingsCoverEveryModeAndDrawColourfulRings) {
    Startup_report report;
    Nimbrel_settings_file file(report);
    ASSERT_TRUE(file.Load(Data + "Nimbrel_32_Settings.cmp", false));
    ASSERT_EQ(report.Error_set, 0) << report.Error_text;
    ASSERT_GE(file.Count(), 8);
    ASSERT_TRUE(find_palettes(Data + "Palette"));

    const Param modes[] = {Param::no_motion,       Param::mouse_motion, Param::ran_fluid_motion,
                           Param::ran_jump_motion, Param::par_motion,   Param::no_rotation,
                           Param::sin_rotation,    Param::ran_rotation, Param::draw_solid,
                           Param::draw_vertices,   Param::UsePalette,   Param::RGBwalk};
    std::set<int> used;
    int tagged = 0;
    for (int i = 0; i < file.Count(); ++i) {
        const Nimbrel_setting& setting = file.Setting(i);
        SCOPED_TRACE(setting.Get_name());
        tagged += setting.Is_tagged();
        TSettings_Form params(palette_folder());
        const auto error = params.Apply_setting(setting.Lines);
        ASSERT_FALSE(error) << error->reason;
        for (Param p : modes)
            if (params.on(p)) used.insert(static_cast<int>(p));
        if (params.on(Param::UsePalette)) {
            EXPECT_GE(params.palette_index(), 0);
        }

        IndexedSurface surface(320, 240);
        SoftwarePalette palette;
        QuietAlerts alerts;
        Nimbrel engine(params, surface, palette, alerts);
        for (int f = 0; f < 80; ++f)
            engine.frame_step(false);
        EXPECT_TRUE(alerts.texts.empty());

        const auto pixels = to_bgra32(surface, palette.entries());
        std::set<std::uint32_t> colours;
        std::size_t lit = 0;
        for (std::uint32_t p : pixels) {
            if ((p & 0xFFFFFF) == 0) continue;
            ++lit;
            colours.insert(p & 0xFFFFFF);
        }
        // Vertices alone light far fewer pixels than outlines.
        EXPECT_GT(lit, params.on(Param::draw_vertices) ? 100u : 1000u);
        EXPECT_GE(colours.size(), 8u);
    }
    for (Param p : modes)
        EXPECT_EQ(used.count(static_cast<int>(p)), 1u) << param_info(p).name;
    EXPECT_GE(tagged, 8); // cycling through tagged settings has plenty to pick from
}
