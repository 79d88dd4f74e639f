#include "settings/settings_form.h"

#include <gtest/gtest.h>

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

TEST(ParameterSet, TableShape) {
    int scrolls = 0, checks = 0, radios = 0, choices = 0;
    for (int i = 0; i < Param_count; ++i) {
        const ParamInfo& info = param_info(static_cast<Param>(i));
        EXPECT_EQ(find_param(info.name), static_cast<Param>(i)) << info.name;
        switch (info.kind) {
        case Kind::Scroll:
            ++scrolls;
            EXPECT_LE(info.min, info.def) << info.name;
            EXPECT_LE(info.def, info.max) << info.name;
            break;
        case Kind::Check:
            ++checks;
            break;
        case Kind::Radio:
            ++radios;
            break;
        case Kind::PaletteChoice:
            ++choices;
            break;
        }
    }
    EXPECT_EQ(scrolls, 39);
    EXPECT_EQ(checks, 8);
    EXPECT_EQ(radios, 20);
    EXPECT_EQ(choices, 1);
    EXPECT_EQ(find_param("MAX_POLYGONS"), Param::max_polygons);
    EXPECT_EQ(find_param("max_polygon"), std::nullopt);
}

TEST(SettingsForm, Defaults) {
    TSettings_Form f;
    EXPECT_EQ(f.pos(Param::max_polygons), 50);
    EXPECT_EQ(f.pos(Param::density3), -100);
    EXPECT_EQ(f.pos(Param::speed_scroll), 1);
    EXPECT_TRUE(f.on(Param::rub_out));
    EXPECT_TRUE(f.on(Param::RGBwalk));
    EXPECT_FALSE(f.on(Param::UsePalette));
    EXPECT_EQ(count_on(f, Group::Rotation), 0);
    EXPECT_EQ(count_on(f, Group::Motion), 0);
    EXPECT_EQ(count_on(f, Group::PauseMode), 0);
    EXPECT_EQ(f.palette_index(), -1);
    EXPECT_EQ(f.f_speed(), "1");
}

TEST(SettingsForm, ApplyResetsSevenAndKeepsTheRest) {
    TSettings_Form f;
    f.set_on(Param::fix_speed, true);
    f.set_on(Param::lock_xy_aspect, true);
    f.set_on(Param::lock_xy_motion, true);
    f.set_position(Param::control_points, 9);
    f.set_position(Param::eccentricity, 9);
    f.set_position(Param::Gamma, 9);
    f.set_position(Param::max_polygons, 77);
    EXPECT_EQ(f.Apply_setting({"only a name"}), std::nullopt);
    EXPECT_FALSE(f.on(Param::fix_speed));
    EXPECT_FALSE(f.on(Param::lock_xy_aspect));
    EXPECT_FALSE(f.on(Param::lock_xy_motion));
    EXPECT_TRUE(f.on(Param::UsePalette));
    EXPECT_FALSE(f.on(Param::RGBwalk));
    EXPECT_EQ(f.pos(Param::control_points), 3);
    EXPECT_EQ(f.pos(Param::eccentricity), 2);
    EXPECT_EQ(f.pos(Param::Gamma), 1);
    EXPECT_EQ(f.pos(Param::max_polygons), 77);
}

TEST(SettingsForm, ResetPositionsClampIntoCurrentRange) {
    TSettings_Form f;
    ASSERT_EQ(f.Apply_setting({"n", "control_points 5 16 7", "Gamma 4 20 4"}), std::nullopt);
    ASSERT_EQ(f.Apply_setting({"n"}), std::nullopt);
    EXPECT_EQ(f.pos(Param::control_points), 5);
    EXPECT_EQ(f.pos(Param::Gamma), 4);
}

TEST(SettingsForm, ScrollLines) {
    struct Case {
        const char* line;
        Param p;
        ScrollValue want;
    } cases[] = {
        {"perspective -50 50 80", Param::perspective, {-50, 50, 50}},
        {"MAX_POLYGONS 0 200 120", Param::max_polygons, {0, 200, 120}},
        {"\t vanishing\t0  100\t\t33\r\n", Param::vanishing, {0, 100, 33}},
        {"magnification +10 20 -5", Param::magnification, {10, 20, 10}},
        // Stored range entirely above the current one applies as a whole.
        {"max_polygons 300 500 400", Param::max_polygons, {300, 500, 400}},
        {"speed_scroll -20 -10 -15", Param::speed_scroll, {-20, -10, -15}},
        {"ampl 0 256 12\0 99", Param::ampl, {0, 256, 12}},
        {"freq 0 50 20 extra tokens", Param::freq, {0, 50, 20}},
    };
    for (const Case& c : cases) {
        TSettings_Form f;
        EXPECT_EQ(f.Apply_setting({"n", c.line}), std::nullopt) << c.line;
        const ScrollValue& got = f.scroll(c.p);
        EXPECT_EQ(got.Min, c.want.Min) << c.line;
        EXPECT_EQ(got.Max, c.want.Max) << c.line;
        EXPECT_EQ(got.Position, c.want.Position) << c.line;
    }
}

TEST(SettingsForm, SpeedReadoutFollowsPosition) {
    TSettings_Form f;
    ASSERT_EQ(f.Apply_setting({"n", "speed_scroll 1 200 42"}), std::nullopt);
    EXPECT_EQ(f.designed_speed(), "42");
    EXPECT_EQ(f.f_speed(), "1");
}

TEST(SettingsForm, BadLinesStopWithLineNumberAndKeepEarlierValues) {
    struct Case {
        Lines lines;
        int line;
        const char* mention;
    } cases[] = {
        {{"n", "max_polygons 0 200 10", "vanishing 0 100"}, 2, "vanishing"},
        {{"n", "max_polygons 0 200 10", "vanishing 0 1x0 5"}, 2, "1x0"},
        {{"n", "max_polygons 0 200 10", "vanishing 50 10 20"}, 2, "greater"},
        {{"n", "max_polygons 0 200 10", "vanishing 0 99999999999 5"}, 2, "99999999999"},
        {{"n", "max_polygons 0 200 10", "", "in_out"}, 3, "in_out"},
        {{"n", "max_polygons 0 200 10", "palette_list"}, 2, "palette"},
    };
    for (const Case& c : cases) {
        TSettings_Form f;
        const auto err = f.Apply_setting(c.lines);
        ASSERT_TRUE(err.has_value()) << c.lines.back();
        EXPECT_EQ(err->line, c.line);
        EXPECT_NE(err->reason.find(c.mention), std::string::npos) << err->reason;
        EXPECT_EQ(f.pos(Param::max_polygons), 10);
        EXPECT_EQ(f.scroll(Param::vanishing).Max, 100);
    }
}

TEST(SettingsForm, UnknownNamesAreSkipped) {
    TSettings_Form f;
    EXPECT_EQ(f.Apply_setting({"n", "Button1 1 2 3", "nonsense", "max_polygons 0 200 7"}),
              std::nullopt);
    EXPECT_EQ(f.pos(Param::max_polygons), 7);
}

TEST(SettingsForm, ChecksAndRadios) {
    struct Case {
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
    for (const Case& c : cases) {
        TSettings_Form f;
        ASSERT_EQ(f.Apply_setting(c.lines), std::nullopt);
        EXPECT_EQ(f.on(c.p), c.want) << c.lines.back() << " -> " << param_info(c.p).name;
    }
    TSettings_Form f;
    ASSERT_EQ(f.Apply_setting({"n", "no_rotation FALSE"}), std::nullopt);
    EXPECT_EQ(count_on(f, Group::Rotation), 0);
}

TEST(SettingsForm, PaletteChoice) {
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
}

TEST(SettingsForm, CouplingsFollowLineOrder) {
    struct Case {
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
    for (const Case& c : cases) {
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
    f.PDF_zeroClick(true);
    for (Param d : {Param::density1, Param::density10})
        EXPECT_EQ(f.pos(d), -100);
    f.PDF_zeroClick(false);
    for (Param d : {Param::density1, Param::density3})
        EXPECT_EQ(f.pos(d), 0);

    f.ZeroAspBtnClick();
    EXPECT_EQ(f.pos(Param::aspect_a_x), 50);
    EXPECT_EQ(f.pos(Param::aspect_a_y), 50);

    f.set_position(Param::freq, 30);
    f.set_position(Param::ampl, 40);
    f.rot_zeroClick();
    EXPECT_EQ(f.pos(Param::ampl), 0);
    EXPECT_EQ(f.pos(Param::freq), 0);

    f.set_position(Param::Gamma, 5);
    f.set_position(Param::control_points, 9);
    f.ZeroPalBtnClick();
    EXPECT_EQ(f.pos(Param::control_points), 3);
    EXPECT_EQ(f.pos(Param::eccentricity), 1);
    EXPECT_EQ(f.pos(Param::colour_step), 0);
    EXPECT_EQ(f.pos(Param::Gamma), 5);

    const std::pair<int, int> snaps[] = {{48, 64}, {80, 64}, {16, 0}, {112, 128}, {17, 32}};
    for (auto [from, to] : snaps) {
        f.set_position(Param::mot_par_a, from);
        f.btn_fClick(true);
        EXPECT_EQ(f.pos(Param::mot_par_a), to) << from;
    }
    f.set_position(Param::mot_par_b, 48);
    f.btn_fClick(false);
    EXPECT_EQ(f.pos(Param::mot_par_b), 64);
    // A setting's own range may reach the 32-bit limits; the nearest multiple may lie beyond.
    ASSERT_FALSE(f.Apply_setting({"wide", "mot_par_a -2147483648 2147483647 0"}));
    const std::pair<std::int32_t, std::int32_t> edges[] = {
        {2147483647, 2147483647}, {2147483630, 2147483616}, {-2147483647, -2147483647 - 1}};
    for (auto [from, to] : edges) {
        f.set_position(Param::mot_par_a, from);
        f.btn_fClick(true);
        EXPECT_EQ(f.pos(Param::mot_par_a), to) << from;
    }

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

TEST(SettingsForm, PaletteFolderListing) {
    const auto dir = std::filesystem::temp_directory_path() / "nimbrel_palette_listing";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "folder.pal");
    for (const char* name : {"b.pal", "A.PAL", "c.txt", "pal", "d.pal.bak"})
        std::ofstream(dir / name) << "1\n";
    TSettings_Form f(dir);
    EXPECT_EQ(f.palette_list(), (Lines{"A.PAL", "b.pal"}));
    EXPECT_TRUE(list_palette_files(dir / "missing").empty());
    std::filesystem::remove_all(dir);
}
