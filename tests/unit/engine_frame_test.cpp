// The engine as a whole: construction, the hand-over of states through the slots, erasing, draw
// styles, dynamics as seen on the lead ring, colour fallback and the failure texts.
#include "engine/fixed_point.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine/tables.h"
#include "engine_fakes.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace nimbrel;
using namespace nimbrel::testing;

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

void only_density(TSettings_Form& s, Param keep, std::int32_t position) {
    for (Param p :
         {Param::density1, Param::density2, Param::density3, Param::density4, Param::density5,
          Param::density6, Param::density7, Param::density8, Param::density9, Param::density10})
        s.set_position(p, 0);
    s.set_position(keep, position);
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

TEST(Engine, ConstructionClearsAndStartsWithOnlyTheLeadColoured) {
    TSettings_Form s = still_settings();
    s.set_position(Param::max_polygons, 10);
    s.set_position(Param::colour_step, 0);
    s.set_position(Param::speed_scroll, 25);
    set_random_seed(11);
    Rig rig(s);
    const Nimbrel& e = *rig.engine;
    ASSERT_EQ(rig.window.calls.size(), 1u);
    EXPECT_EQ(rig.window.calls[0].kind, DrawCall::Fill);
    EXPECT_EQ(e.design_fps(), 25);
    EXPECT_GE(fixed_int(e.lead().colour), 0);
    EXPECT_LT(fixed_int(e.lead().colour), e.colour_count() - 1);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(e.ring(i).colour, blank_colour) << i;
        EXPECT_EQ(e.ring(i).sides, 3) << i;
        EXPECT_EQ(e.ring(i).x, 79);
        EXPECT_EQ(e.ring(i).y, 59);
    }
    // After k frames slots 1 ... k hold the lead's colour, the others are still blank and drawn in
    // entry 0.
    const std::uint8_t entry = static_cast<std::uint8_t>(fixed_int(e.lead().colour) + 10);
    for (int k = 1; k <= 3; ++k) {
        const auto calls = rig.frame();
        ASSERT_EQ(calls.size(), 10u);
        for (int i = 1; i <= 10; ++i) {
            EXPECT_EQ(e.ring(i).colour == blank_colour, i > k) << "frame " << k << " slot " << i;
            EXPECT_EQ(calls[10 - i].index, i <= k ? entry : 0) << "frame " << k << " slot " << i;
        }
    }
}

TEST(Engine, ChangedTravelsOneSlotPerFrameAndOnlyItsSlotIsErased) {
    TSettings_Form s = still_settings();
    s.set_on(Param::shape_per, true);
    s.set_position(Param::shape_freq, 90); // period 10: the lead changes shape on frame 11
    s.set_position(Param::max_polygons, 8);
    Rig rig(s);
    // The colour advances every frame, but that alone erases nothing.
    for (int frame = 1; frame <= 10; ++frame)
        EXPECT_EQ(rig.frame().size(), 8u) << frame;
    rig.frame(); // frame 11: the change happens after the hand-over
    for (int slot = 1; slot <= 8; ++slot) {
        const poly before = rig.engine->ring(slot);
        const auto calls = rig.frame();
        ASSERT_EQ(calls.size(), 9u) << "slot " << slot;
        // Slots are handed over from 8 down to 1; the erase comes just before the slot's draw,
        // in entry 0 over the points the slot had.
        const DrawCall& erase = calls[8 - slot];
        EXPECT_EQ(erase.index, 0);
        EXPECT_EQ(erase.points.front().x, before.points[0].x);
        EXPECT_EQ(erase.points.front().y, before.points[0].y);
        EXPECT_EQ(rig.engine->ring(slot).changed, 1);
        if (slot > 1) {
            EXPECT_EQ(rig.engine->ring(slot - 1).changed, 0);
        }
    }
    EXPECT_EQ(rig.frame().size(), 8u); // the change has left the row
}

TEST(Engine, NothingIsErasedWithoutRubOut) {
    TSettings_Form s;
    s.set_on(Param::sin_rotation, true);
    s.set_on(Param::ran_fluid_motion, true);
    s.set_on(Param::rub_out, false);
    Rig rig(s);
    EXPECT_EQ(rig.frame(30).size(), 30u * 50);
    s.set_on(Param::rub_out, true); // read every frame
    EXPECT_GT(rig.frame(30).size(), 30u * 50);
}

TEST(Engine, DrawStyles) {
    struct Case {
        Param density;
        bool vertices;
        DrawCall::Kind kind;
        std::size_t calls_per_ring, points;
    } cases[] = {
        {Param::density5, false, DrawCall::Polyline, 1, 6}, // closed outline
        {Param::density2, false, DrawCall::Polyline, 1, 2}, // a line through the centre
        {Param::density1, false, DrawCall::Pixel, 1, 1},
        {Param::density5, true, DrawCall::Pixel, 5, 1},
        {Param::density1, true, DrawCall::Pixel, 1, 1},
        // No sides at all: a single pixel at the first point in solid style, nothing otherwise.
        {Param::density4, false, DrawCall::Pixel, 1, 1},
        {Param::density4, true, DrawCall::Pixel, 0, 1},
    };
    for (const Case& c : cases) {
        TSettings_Form s = still_settings();
        s.set_position(Param::max_polygons, 4);
        only_density(s, c.density, c.density == Param::density4 ? 0 : -100);
        s.set_on(Param::draw_vertices, c.vertices);
        Rig rig(s);
        const auto calls = rig.frame();
        ASSERT_EQ(calls.size(), 4 * c.calls_per_ring);
        for (const DrawCall& call : calls) {
            EXPECT_EQ(call.kind, c.kind);
            EXPECT_EQ(call.points.size(), c.points);
        }
        if (c.kind == DrawCall::Polyline && c.points > 2) {
            EXPECT_EQ(calls[0].points.front().x, calls[0].points.back().x);
            EXPECT_EQ(calls[0].points.front().y, calls[0].points.back().y);
        }
    }
}

TEST(Engine, AspectSyncShowsFromTheNextHandOver) {
    TSettings_Form s = still_settings();
    s.set_position(Param::aspect_f_x, 100);
    s.set_position(Param::aspect_a_x, 100);
    s.set_on(Param::aspect_sync, true);
    s.set_position(Param::max_polygons, 5);
    Rig rig(s, 640, 480);
    EXPECT_DOUBLE_EQ(rig.engine->ring(3).aspect_x, 0.5); // 1 - 0.5 x amplitude
    rig.frame(4);
    const double older = rig.engine->lead().aspect_x;
    rig.frame();
    const double previous = rig.engine->lead().aspect_x;
    const auto calls = rig.frame();
    // Every slot took the lead's aspect of the previous frame, but is drawn with the aspect it
    // was handed: slot 2 with what slot 1 held, the lead's aspect of the frame before.
    for (int i = 1; i <= 5; ++i)
        EXPECT_DOUBLE_EQ(rig.engine->ring(i).aspect_x, previous);
    ASSERT_EQ(calls.size(), 10u); // every slot erased and drawn: the lead changes every frame
    EXPECT_NEAR(calls[7].points[0].x, 319 + older * rig.engine->ring(2).size, 0.5);
    EXPECT_GT(std::abs(older - previous) * rig.engine->ring(2).size, 2);
    // Without the sync the lead's aspect travels outward slot by slot.
    const double latest = rig.engine->lead().aspect_x;
    s.set_on(Param::aspect_sync, false);
    rig.frame();
    EXPECT_DOUBLE_EQ(rig.engine->ring(1).aspect_x, latest);
    EXPECT_DOUBLE_EQ(rig.engine->ring(2).aspect_x, previous);
    EXPECT_NE(latest, previous);
}

TEST(Engine, AspectWithoutFrequencyIsAFixedScale) {
    TSettings_Form s = still_settings();
    s.set_position(Param::aspect_a_x, 0);
    s.set_position(Param::aspect_a_y, 40);
    Rig rig(s);
    EXPECT_EQ(rig.engine->ring(9).aspect_x, 0.0); // squeezed to a vertical line
    EXPECT_EQ(rig.engine->ring(9).aspect_y, 0.4);
    s.set_position(Param::aspect_f_y, 8);
    Rig animated(s);
    EXPECT_EQ(animated.engine->ring(9).aspect_x, 1.0);
    animated.frame(10);
    EXPECT_EQ(animated.engine->lead().aspect_x, 1.0); // its phase never moves
    EXPECT_LT(animated.engine->lead().aspect_y, 1.0);
}

TEST(Engine, RotationTiming) {
    struct Case {
        bool periodic;
        std::int32_t frequency;
        int frames, rotations;
    } cases[] = {
        {false, 100, 20, 20}, // chance value of 0 is 7600: every frame
        {false, 99, 20, 20},  // 100 %
        {false, 2, 200, 0},   // 0 %: never
        {true, 95, 24, 4},    // period 5: every sixth frame
    };
    for (const Case& c : cases) {
        TSettings_Form s = still_settings();
        s.set_on(Param::ran_rotation, true);
        s.set_on(c.periodic ? Param::rot_ran_per : Param::rot_ran_ran, true);
        s.set_position(Param::rot_ran_freq, c.frequency);
        s.set_position(Param::max_rot_speed, 50);
        s.set_position(Param::max_polygons, 2);
        set_random_seed(1);
        Rig rig(s);
        EXPECT_EQ(rig.engine->lead().changed, 0) << "the first random rotation is not a change";
        int rotations = 0;
        for (int f = 0; f < c.frames; ++f) {
            rig.frame();
            rotations += rig.engine->lead().changed;
        }
        EXPECT_EQ(rotations, c.rotations) << c.periodic << " " << c.frequency;
    }
}

TEST(Engine, SineRotationTwistsAndPrecesses) {
    TSettings_Form s = still_settings();
    s.set_on(Param::sin_rotation, true);
    s.set_position(Param::ampl, 100);   // amplitude 200 angle units
    s.set_position(Param::freq, 128);   // phase 512 a frame
    s.set_position(Param::precess, -3); // -24 angle units a frame
    Rig rig(s);
    rig.frame();
    EXPECT_EQ(rig.engine->lead().spin, to_fixed(39)); // round(sin(11.25 degrees) x 200) = 39.02
    EXPECT_EQ(rig.engine->lead().angle, to_fixed(-24));
    rig.frame(3);
    EXPECT_EQ(rig.engine->lead().spin, to_fixed(141)); // sin(2048) x 200 = 141.42
    EXPECT_EQ(angle_index(rig.engine->lead().angle), 16384 - 96);
    // The twist accumulates outward: slot 2 got slot 1's angle plus slot 1's spin.
    const poly one = rig.engine->ring(1);
    rig.frame();
    EXPECT_EQ(rig.engine->ring(2).angle, wrap32(std::int64_t{one.angle} + one.spin));
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
        set_random_seed(after);
        EXPECT_EQ(rig.engine->lead().x, round_even((tx - from.x) * landing) + from.x) << f;
        EXPECT_EQ(rig.engine->lead().y, round_even((ty - from.y) * landing) + from.y) << f;
    }
}

TEST(Engine, ParametricMotionStartsAtItsPhaseZeroPosition) {
    TSettings_Form s = still_settings();
    s.set_on(Param::par_motion, true);
    s.set_position(Param::mot_par_c, 128);
    s.set_position(Param::mot_par_a, 64); // 128 angle units a frame
    Rig rig(s);
    EXPECT_EQ(rig.engine->lead().x, 158); // round(79 x 1) + 79: x swings over the full width
    EXPECT_EQ(rig.engine->lead().y, 59);
    rig.frame(32); // a quarter turn
    EXPECT_EQ(rig.engine->lead().x, 79);
    rig.frame(32);
    EXPECT_EQ(rig.engine->lead().x, 0);
}

TEST(Engine, MouseMotionFollowsTheCursorWithoutOvershoot) {
    Point cursor{150, 10};
    TSettings_Form s = still_settings();
    s.set_on(Param::mouse_motion, true);
    s.set_position(Param::mot_b_damping, 0);
    // A preview-sized window: 400 / 79 is over 5, limited to 1.
    Rig small(s, 160, 120, [&cursor] { return cursor; });
    EXPECT_EQ(small.engine->motion_gain(), 1.0);
    small.frame();
    EXPECT_EQ(small.engine->lead().x, 150);
    EXPECT_EQ(small.engine->lead().y, 10);

    // Full screen, damping 128: about 1 % of the distance a frame, then it stops.
    s.set_position(Param::mot_b_damping, 128);
    Rig full(s, 1920, 1080, [&cursor] { return cursor; });
    EXPECT_DOUBLE_EQ(full.engine->motion_gain(), 400.0 / 959 * (1 - 128.0 / 129));
    full.frame();
    EXPECT_EQ(full.engine->lead().x,
              959 + static_cast<int>(std::nearbyint((150 - 959) * full.engine->motion_gain())));
    full.frame(2000);
    EXPECT_GT(full.engine->lead().x, 150);
    EXPECT_LT(full.engine->lead().x, 400);

    // Without a pointer source the target stays at the window centre.
    s.set_position(Param::mot_b_damping, 50);
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
    const auto folder = std::filesystem::temp_directory_path() / "nimbrel_engine_colour";
    std::filesystem::create_directories(folder);
    set_palette_folder(folder);
    for (const auto& c : cases) {
        std::ofstream(folder / "p.pal", std::ios::binary) << c.text;
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
    std::filesystem::remove_all(folder);
}

TEST(Engine, MissingColoursFallBackToTheRgbWalk) {
    const auto folder = std::filesystem::temp_directory_path() / "nimbrel_engine_fallback";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "empty.pal") << "0\n";
    std::ofstream(folder / "words.pal") << "many colours\n1 2 3\n";
    std::ofstream(folder / "good.pal") << "2\n1 2 3\n4 5 6\n";
    set_palette_folder(folder);
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
    std::filesystem::remove_all(folder);
}

TEST(Engine, PicksAPaletteWhenNoneIsSelected) {
    const auto folder = std::filesystem::temp_directory_path() / "nimbrel_engine_pick";
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.pal", "b.pal", "c.pal"})
        std::ofstream(folder / name) << "1\n1 1 1\n";
    set_palette_folder(folder);
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
    std::filesystem::remove_all(folder);
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
    // Settings files may carry any range; the engine must neither divide by zero nor index
    // outside its tables, whatever the values (run under the sanitizers too).
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
