// The engine as a whole where the golden checksums do not reach: ring count limits, settings read
// every frame, rings without sides, motion edges, colour fallback and wrapping, failure texts and
// hand-edited ranges.
#include "engine/fixed_point.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine/tables.h"
#include "engine_fakes.h"
#include "settings/random.h"
#include "settings/settings_form.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace nimbrel;
using namespace nimbrel::testing;
using nimbrel_test::write_text;

namespace {

struct Rig {
    explicit Rig(TSettings_Form& settings, int w = 160, int h = 120, CursorPosition cursor = {})
        : window(w, h) {
        engine = std::make_unique<Nimbrel>(settings, window, palette, alerts, std::move(cursor));
    }
    // Calls recorded by the frames run from here on.
    std::vector<DrawCall> frame(int count = 1) {
        window.calls.clear();
        for (int i = 0; i < count; ++i)
            engine->frame_step(false);
        return window.calls;
    }
    RecordingTarget window;
    RecordingPalette palette;
    RecordingAlerts alerts;
    std::unique_ptr<Nimbrel> engine;
};

// A lead ring that never changes: no rotation, no motion, no aspect or shape change.
TSettings_Form still_settings() {
    TSettings_Form s;
    s.set_on(Param::no_rotation, true);
    s.set_on(Param::no_motion, true);
    s.set_on(Param::shape_ran, true);
    s.set_position(Param::shape_freq, 2); // chance value of 98: never
    return s;
}

} // namespace

TEST(Engine, RingCount) {
    const std::pair<std::int32_t, int> cases[] = {{0, 50}, {7, 7}, {500, 500}, {600, 500}, {-5, 0}};
    for (auto [polygons, rings] : cases) {
        TSettings_Form s;
        s.set_min(Param::max_polygons, -10);
        s.set_max(Param::max_polygons, 1000);
        s.set_position(Param::max_polygons, polygons);
        Rig rig(s);
        EXPECT_EQ(rig.engine->ring_count(), rings) << polygons;
        EXPECT_EQ(rig.frame().size(), static_cast<std::size_t>(rings)) << polygons;
    }
}

TEST(Engine, SettingsAreReadEveryFrame) {
    TSettings_Form s;
    s.set_on(Param::sin_rotation, true);
    s.set_on(Param::rub_out, false);
    Rig rig(s);
    EXPECT_EQ(rig.frame(30).size(), 30u * 50); // no erasing
    s.set_on(Param::rub_out, true);
    EXPECT_GT(rig.frame(30).size(), 30u * 50);
}

TEST(Engine, RingsWithoutSidesAreAPixelWhenSolidAndNothingAsVertices) {
    for (bool vertices : {false, true}) {
        TSettings_Form s = still_settings();
        s.set_position(Param::max_polygons, 4);
        s.set_position(Param::density3, 0); // every weight 0: no sides are picked
        s.set_on(Param::draw_vertices, vertices);
        Rig rig(s);
        const auto calls = rig.frame();
        ASSERT_EQ(rig.engine->lead().sides, 0);
        ASSERT_EQ(calls.size(), vertices ? 0u : 4u);
        for (const DrawCall& call : calls)
            EXPECT_EQ(call.kind, DrawCall::Pixel);
    }
}

TEST(Engine, FluidMotionWithoutDampingLandsAtOnce) {
    TSettings_Form s = still_settings();
    s.set_on(Param::shape_per, true); // period 98: no draws for shapes in these frames
    s.set_on(Param::ran_fluid_motion, true);
    s.set_on(Param::ran_uniform, true);
    s.set_position(Param::mot_b_damping, 0);
    s.set_position(Param::eccentricity, 1); // the walk draws nothing either
    set_random_seed(2024);
    Rig rig(s);
    EXPECT_EQ(rig.engine->motion_gain(), 0.0);
    const double landing = tables().smooth_table[16383];
    for (int f = 0; f < 10; ++f) {
        const Point from{rig.engine->lead().x, rig.engine->lead().y};
        const std::uint32_t before = random_seed();
        rig.frame();
        const std::uint32_t after = random_seed();
        // A glide of zero frames to a new target every frame: random(2 x 79), random(2 x 59).
        set_random_seed(before);
        const int tx = static_cast<int>(random(158));
        const int ty = static_cast<int>(random(118));
        EXPECT_EQ(random_seed(), after);
        EXPECT_EQ(rig.engine->lead().x, round_even((tx - from.x) * landing) + from.x) << f;
        EXPECT_EQ(rig.engine->lead().y, round_even((ty - from.y) * landing) + from.y) << f;
    }
}

TEST(Engine, MouseMotionNeverOvershootsTheCursor) {
    TSettings_Form s = still_settings();
    s.set_on(Param::mouse_motion, true);
    s.set_position(Param::mot_b_damping, 0);
    // A preview-sized window: 400 / 79 is over 5, limited to 1.
    Rig small(s, 160, 120, [] { return Point{150, 10}; });
    EXPECT_EQ(small.engine->motion_gain(), 1.0);
    small.frame();
    EXPECT_EQ(small.engine->lead().x, 150);
    EXPECT_EQ(small.engine->lead().y, 10);
    // Without a pointer source the target stays at the window centre.
    Rig blind(s, 160, 120);
    blind.frame(5);
    EXPECT_EQ(blind.engine->lead().x, 79);
}

TEST(Engine, ColourStaysInTheAnimatedRange) {
    // One colour: the wrap length is 0, so the colour stays put; three colours with the fastest
    // step (11.7 entries a frame, beyond the range) still land inside.
    const struct {
        const char* text;
        std::int32_t step;
    } cases[] = {{"1\n9 9 9\n", 128}, {"3\n1 0 0\n2 0 0\n3 0 0\n", -128}, {"3\n1 1 1\n", 128}};
    nimbrel_test::Temp_folder folder;
    set_palette_folder(folder.dir());
    for (const auto& c : cases) {
        write_text(folder.file("p.pal"), c.text);
        TSettings_Form s(std::vector<std::string>{"p.pal"});
        s.set_on(Param::UsePalette, true);
        s.set_position(Param::colour_step, c.step);
        Rig rig(s);
        ASSERT_TRUE(rig.engine->use_palette());
        for (int f = 0; f < 50; ++f) {
            const auto calls = rig.frame();
            const int c0 = fixed_int(rig.engine->lead().colour);
            EXPECT_GE(c0, 0);
            EXPECT_LT(c0, rig.engine->colour_count());
            EXPECT_LE(calls.front().index, 10 + rig.engine->colour_count() - 1);
        }
    }
}

TEST(Engine, MissingColoursFallBackToTheRgbWalk) {
    nimbrel_test::Temp_folder folder;
    write_text(folder.file("empty.pal"), "0\n");
    write_text(folder.file("words.pal"), "many colours\n1 2 3\n");
    write_text(folder.file("good.pal"), "2\n1 2 3\n4 5 6\n");
    set_palette_folder(folder.dir());
    const struct {
        std::vector<std::string> list;
        int index;
        bool file_colours;
    } cases[] = {{{}, -1, false},
                 {{"gone.pal"}, 0, false},
                 {{"empty.pal"}, 0, false},
                 {{"words.pal"}, 0, false},
                 {{"good.pal"}, 0, true}};
    for (const auto& c : cases) {
        TSettings_Form s(c.list);
        s.set_on(Param::UsePalette, true);
        s.set_palette_index(c.index);
        Rig rig(s);
        EXPECT_EQ(rig.engine->use_palette(), c.file_colours);
        EXPECT_EQ(rig.engine->colour_count(), c.file_colours ? 2 : 234);
        EXPECT_EQ(rig.engine->animator() != nullptr, !c.file_colours);
        rig.frame(3);
        EXPECT_TRUE(rig.alerts.texts.empty());
    }
}

TEST(Engine, PicksAPaletteWhenNoneIsSelected) {
    nimbrel_test::Temp_folder folder;
    for (const char* name : {"a.pal", "b.pal", "c.pal"})
        write_text(folder.file(name), "1\n1 1 1\n");
    set_palette_folder(folder.dir());
    TSettings_Form s(std::vector<std::string>{"c.pal", "a.pal", "b.pal"});
    s.set_on(Param::UsePalette, true);
    for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        s.set_palette_index(-1);
        set_random_seed(seed);
        const int expected = static_cast<int>(random(3));
        set_random_seed(seed);
        Rig rig(s);
        EXPECT_EQ(s.palette_index(), expected);
        EXPECT_TRUE(rig.engine->use_palette());
    }
}

TEST(Engine, FailureTexts) {
    TSettings_Form s;
    RecordingTarget window(40, 30);
    window.begin_ok = false;
    window.end_ok = false;
    RecordingPalette palette;
    palette.release_ok = false;
    RecordingAlerts alerts;
    {
        Nimbrel engine(s, window, palette, alerts);
        EXPECT_EQ(alerts.texts, (std::vector<std::string>{"Device context invalid #5",
                                                          "Device context not released #6"}));
        alerts.texts.clear();
        engine.frame_step(false);
        EXPECT_EQ(alerts.texts, (std::vector<std::string>{"Device context invalid #3",
                                                          "Device context not released #4"}));
        EXPECT_EQ(window.calls.size(), 1u + 50); // the frame carries on
        alerts.texts.clear();
    }
    EXPECT_EQ(alerts.texts, std::vector<std::string>{"Palette not deleted #-1"});
    EXPECT_EQ(palette.releases, 1);
}

TEST(Engine, HandEditedRangesStayInsideTheTables) {
    // Settings files may carry any range: no division by zero and no index outside a table,
    // whatever the values (run under the sanitizers too).
    const std::int32_t extremes[] = {INT32_MIN, -100000, -129, -1, 0, 1, 3, 17, 100000, INT32_MAX};
    set_random_seed(8);
    for (int round = 0; round < 40; ++round) {
        TSettings_Form s;
        for (int i = 0; i < Param_count; ++i) {
            const Param p = static_cast<Param>(i);
            if (param_info(p).kind != Kind::Scroll) continue;
            const std::int32_t a = extremes[random(10)], b = extremes[random(10)];
            s.set_min(p, std::min(a, b));
            s.set_max(p, std::max(a, b));
            s.set_position(p, extremes[random(10)]);
        }
        const Param motions[] = {Param::mouse_motion, Param::ran_fluid_motion,
                                 Param::ran_jump_motion, Param::par_motion};
        s.set_on(motions[round % 4], true);
        s.set_on(round % 3 == 0 ? Param::sin_rotation : Param::ran_rotation, true);
        s.set_on(Param::rot_ran_ran, round % 2 == 0);
        s.set_on(Param::ran_uniform, round % 5 < 2);
        const std::uint32_t seed = random_seed();
        Rig rig(s, 64, 48, [] { return Point{INT32_MAX, INT32_MIN}; });
        for (const DrawCall& call : rig.frame(12))
            EXPECT_LE(call.points.size(), 11u);
        set_random_seed(seed + 1);
    }
}
