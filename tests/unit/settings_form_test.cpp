#include "settings/settings_form.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

using namespace nimbrel;

namespace {
using Lines = std::vector<std::string>;

int count_on(const TSettings_Form& f, Group g) {
    int n = 0;
    for (int i = 0; i < Param_count; ++i)
        if (param_info(static_cast<Param>(i)).group == g && f.on(static_cast<Param>(i))) ++n;
    return n;
}
} // namespace

TEST(ParameterSet, NamesAreFoundAndDefaultsLieInTheirRanges) {
    for (int i = 0; i < Param_count; ++i) {
        const ParamInfo& info = param_info(static_cast<Param>(i));
        EXPECT_EQ(find_param(info.name), static_cast<Param>(i)) << info.name;
        if (info.kind == Kind::Scroll) {
            EXPECT_LE(info.min, info.def) << info.name;
            EXPECT_LE(info.def, info.max) << info.name;
        }
    }
    EXPECT_EQ(find_param("MAX_POLYGONS"), Param::max_polygons);
    EXPECT_EQ(find_param("max_polygon"), std::nullopt);
}

TEST(SettingsForm, ApplyResetsSevenSkipsUnknownNamesAndKeepsTheRest) {
    TSettings_Form f;
    ASSERT_EQ(f.Apply_setting({"n", "control_points 5 16 7", "Gamma 4 20 4", "lock_xy_aspect TRUE",
                               "fix_speed TRUE", "lock_xy_motion TRUE", "eccentricity 0 9 9"}),
              std::nullopt);
    f.set_position(Param::max_polygons, 77);
    ASSERT_EQ(f.Apply_setting({"n", "Button1 1 2 3", "nonsense", "speed_scroll 1 200 42"}),
              std::nullopt);
    // The seven are reset (control_points to 3, clamped into the stored range); the rest stays.
    EXPECT_EQ(std::make_tuple(f.on(Param::fix_speed), f.on(Param::lock_xy_aspect),
                              f.on(Param::lock_xy_motion), f.on(Param::UsePalette),
                              f.on(Param::RGBwalk)),
              std::make_tuple(false, false, false, true, false));
    EXPECT_EQ(std::make_tuple(f.pos(Param::control_points), f.pos(Param::Gamma),
                              f.pos(Param::eccentricity), f.pos(Param::max_polygons)),
              std::make_tuple(5, 4, 2, 77));
    EXPECT_EQ(f.designed_speed() + " " + f.f_speed(), "42 1");
}

TEST(SettingsForm, ScrollLines) {
    const struct {
        const char* line;
        Param p;
        std::array<std::int32_t, 3> want; // Min, Max, Position
    } cases[] = {
        {"perspective -50 50 80", Param::perspective, {-50, 50, 50}},
        {"MAX_POLYGONS 0 200 120", Param::max_polygons, {0, 200, 120}},
        {"\t vanishing\t0  100\t\t33\r\n", Param::vanishing, {0, 100, 33}},
        {"magnification +10 20 -5", Param::magnification, {10, 20, 10}},
        // A stored range that does not overlap the current one applies as a whole.
        {"max_polygons 300 500 400", Param::max_polygons, {300, 500, 400}},
        {"speed_scroll -20 -10 -15", Param::speed_scroll, {-20, -10, -15}},
        {"ampl 0 256 12\0 99", Param::ampl, {0, 256, 12}},
        {"freq 0 50 20 extra tokens", Param::freq, {0, 50, 20}},
    };
    for (const auto& c : cases) {
        TSettings_Form f;
        EXPECT_EQ(f.Apply_setting({"n", c.line}), std::nullopt) << c.line;
        const ScrollValue& got = f.scroll(c.p);
        EXPECT_EQ((std::array<std::int32_t, 3>{got.Min, got.Max, got.Position}), c.want) << c.line;
    }
}

TEST(SettingsForm, BadLinesStopWithLineNumberAndKeepEarlierValues) {
    const struct {
        Lines tail;
        int line;
        const char* mention;
    } cases[] = {
        {{"vanishing 0 100"}, 2, "vanishing"},  {{"vanishing 0 1x0 5"}, 2, "1x0"},
        {{"vanishing 50 10 20"}, 2, "greater"}, {{"vanishing 0 99999999999 5"}, 2, "99999999999"},
        {{"", "in_out"}, 3, "in_out"},          {{"palette_list"}, 2, "palette"},
    };
    for (const auto& c : cases) {
        Lines lines{"n", "max_polygons 0 200 10"};
        lines.insert(lines.end(), c.tail.begin(), c.tail.end());
        TSettings_Form f;
        const auto err = f.Apply_setting(lines);
        ASSERT_TRUE(err.has_value()) << lines.back();
        EXPECT_EQ(err->line, c.line);
        EXPECT_NE(err->reason.find(c.mention), std::string::npos) << err->reason;
        EXPECT_EQ(f.pos(Param::max_polygons), 10);
        EXPECT_EQ(f.scroll(Param::vanishing).Max, 100);
    }
}

TEST(SettingsForm, ChecksAndRadios) {
    const struct {
        Lines lines;
        Param p;
        bool want;
    } cases[] = {
        {{"n", "in_out True"}, Param::in_out, false},
        {{"n", "in_out TRUE"}, Param::in_out, true},
        {{"n", "in_out TRUE", "in_out 1"}, Param::in_out, false},
        {{"n", "no_rotation TRUE", "sin_rotation TRUE"}, Param::no_rotation, false},
        {{"n", "no_rotation TRUE", "sin_rotation TRUE"}, Param::sin_rotation, true},
        {{"n", "RGBwalk TRUE"}, Param::UsePalette, false},
        {{"n", "UsePalette FALSE"}, Param::RGBwalk, false}, // off changes no other member
        {{"n", "screensaver TRUE"}, Param::Screensaver, true},
    };
    for (const auto& c : cases) {
        TSettings_Form f;
        ASSERT_EQ(f.Apply_setting(c.lines), std::nullopt);
        EXPECT_EQ(f.on(c.p), c.want) << c.lines.back() << " -> " << param_info(c.p).name;
    }
    TSettings_Form f;
    ASSERT_EQ(f.Apply_setting({"n", "no_rotation FALSE"}), std::nullopt);
    EXPECT_EQ(count_on(f, Group::Rotation), 0);
}

TEST(SettingsForm, PaletteChoiceAndFolderListing) {
    TSettings_Form f({"zebra.pal", "Fire.pal", "ocean.PAL"});
    EXPECT_EQ(f.palette_list(), (Lines{"Fire.pal", "ocean.PAL", "zebra.pal"}));
    ASSERT_EQ(f.Apply_setting({"n", "palette_list OCEAN.pal"}), std::nullopt);
    EXPECT_EQ(f.palette_index(), 1);
    ASSERT_EQ(f.Apply_setting({"n", "palette_list missing.pal"}), std::nullopt);
    EXPECT_EQ(f.palette_index(), -1);
    f.set_palette_index(2);
    EXPECT_EQ(f.palette_index(), 2);
    f.set_palette_index(3);
    EXPECT_EQ(f.palette_index(), -1);

    nimbrel_test::Temp_folder t;
    std::filesystem::create_directories(t.file("folder.pal"));
    for (const char* name : {"b.pal", "A.PAL", "c.txt", "pal", "d.pal.bak"})
        std::ofstream(t.file(name)) << "1\n";
    EXPECT_EQ(TSettings_Form(std::filesystem::path(t.dir())).palette_list(),
              (Lines{"A.PAL", "b.pal"}));
    EXPECT_TRUE(list_palette_files(t.file("missing")).empty());
}

TEST(SettingsForm, CouplingsFollowLineOrder) {
    const struct {
        Lines lines;
        std::int32_t ax, ay;
    } cases[] = {
        {{"n", "lock_xy_aspect TRUE", "aspect_a_x 0 100 30", "aspect_a_y 0 100 70"}, 70, 70},
        {{"n", "aspect_a_x 0 100 30", "aspect_a_y 0 100 70", "lock_xy_aspect TRUE"}, 30, 70},
        // The partner is clamped, and its change couples the clamped value back.
        {{"n", "aspect_a_y 0 40 10", "lock_xy_aspect TRUE", "aspect_a_x 0 100 90"}, 40, 40},
        // A partner already at the clamped value does not change, so nothing couples back.
        {{"n", "aspect_a_y 0 40 40", "lock_xy_aspect TRUE", "aspect_a_x 0 100 90"}, 90, 40},
    };
    for (const auto& c : cases) {
        TSettings_Form f;
        ASSERT_EQ(f.Apply_setting(c.lines), std::nullopt);
        EXPECT_EQ(f.pos(Param::aspect_a_x), c.ax);
        EXPECT_EQ(f.pos(Param::aspect_a_y), c.ay);
    }
    TSettings_Form f;
    ASSERT_EQ(f.Apply_setting({"n", "lock_xy_motion TRUE", "mot_par_e 0 128 64"}), std::nullopt);
    EXPECT_EQ(f.pos(Param::mot_par_b), 64);
    EXPECT_EQ(f.pos(Param::mot_par_a), 0);
}

TEST(SettingsForm, Handlers) {
    TSettings_Form f;
    f.set_position(Param::Gamma, 5);
    f.set_position(Param::control_points, 9);
    f.ZeroPalBtnClick();
    EXPECT_EQ(f.pos(Param::control_points), 3);
    EXPECT_EQ(f.pos(Param::eccentricity), 1);
    EXPECT_EQ(f.pos(Param::colour_step), 0);
    EXPECT_EQ(f.pos(Param::Gamma), 5);

    // Snaps to the nearest multiple of 32; a setting's own range may reach the 32-bit limits,
    // where the nearest multiple lies beyond.
    const std::pair<std::int32_t, std::int32_t> snaps[] = {{48, 64},
                                                           {16, 0},
                                                           {17, 32},
                                                           {2147483647, 2147483647},
                                                           {2147483630, 2147483616},
                                                           {-2147483647, -2147483647 - 1}};
    ASSERT_FALSE(f.Apply_setting({"wide", "mot_par_a -2147483648 2147483647 0"}));
    for (auto [from, to] : snaps) {
        f.set_position(Param::mot_par_a, from);
        f.btn_fClick(true);
        EXPECT_EQ(f.pos(Param::mot_par_a), to) << from;
    }
    f.set_position(Param::mot_par_b, 48);
    f.btn_fClick(false);
    EXPECT_EQ(f.pos(Param::mot_par_b), 64);

    f.set_position(Param::min_rot_speed, 10);
    f.set_position(Param::max_rot_speed, 20);
    EXPECT_EQ(f.max_rot_speedScroll(Param::max_rot_speed, 5), 10);
    EXPECT_EQ(f.max_rot_speedScroll(Param::min_rot_speed, 30), 20);
    EXPECT_EQ(f.max_rot_speedScroll(Param::min_rot_speed, 15), 15);

    f.set_on(Param::fix_speed, true);
    f.fix_speedClick();
    EXPECT_FALSE(f.speed_controls_enabled());
    f.set_on(Param::UsePalette, true);
    f.UsePaletteClick();
    EXPECT_TRUE(f.palette_list_enabled());
    f.set_position(Param::speed_scroll, 50);
    f.Set_speedClick();
    EXPECT_EQ(f.pos(Param::speed_scroll), 1);
    EXPECT_EQ(f.designed_speed(), "1");
}
