// Numeric rules of the engine: fixed point, rounding, tables, chance values, side picks, slot
// sizes, vertices and the frame interval.
#include "engine/fixed_point.h"
#include "engine/nimbrel.h"
#include "engine/projection.h"
#include "engine/sides.h"
#include "engine/speed.h"
#include "engine/tables.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace nimbrel;

namespace {

// Sets the generator so that its next raw value is `next`: random(n) then yields
// floor(next * n / 2^32).
void seed_so_next_is(std::uint32_t next) {
    const std::uint32_t a = 134775813u;
    std::uint32_t inverse = a; // Newton's iteration for a^-1 modulo 2^32
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - a * inverse;
    set_random_seed((next - 1u) * inverse);
}

// Makes the next random(n) return r.
void next_random_returns(std::uint32_t r, std::uint32_t n) {
    const std::uint64_t next = ((std::uint64_t{r} << 32) + n - 1) / n;
    seed_so_next_is(static_cast<std::uint32_t>(next));
}

} // namespace

TEST(EngineUnits, FixedPointParts) {
    struct Case {
        std::int32_t value;
        std::int32_t integer;
        int angle;
    } cases[] = {
        {0, 0, 0},
        {blank_colour, -10, 16374},
        {-1, -1, 16383}, // just below zero: integer part -1, angle wraps to the top
        {-65536, -1, 16383},
        {16384 << 16, 16384, 0}, // a full turn
        {20000 << 16, 20000, 20000 - 16384},
        {INT32_MIN, -32768, 0},
        {0x7fffffff, 32767, 16383},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fixed_int(c.value), c.integer) << c.value;
        EXPECT_EQ(angle_index(c.value), c.angle) << c.value;
    }
    EXPECT_EQ(to_fixed(-10), blank_colour);
    EXPECT_EQ(to_fixed(235), 235 * 65536);
}

TEST(EngineUnits, RoundsHalvesToEven) {
    const std::pair<double, std::int32_t> cases[] = {
        {0.5, 0},           {1.5, 2},           {2.5, 2},
        {-0.5, 0},          {-1.5, -2},         {-2.5, -2},
        {2.4999, 2},        {2.5001, 3},        {std::numeric_limits<double>::quiet_NaN(), 0},
        {1e300, INT32_MAX}, {-1e300, INT32_MIN}};
    for (auto [in, out] : cases)
        EXPECT_EQ(round_even(in), out) << in;
}

TEST(EngineUnits, LookupTables) {
    const LookupTables& t = tables();
    EXPECT_EQ(t.cos_table[0], 1.0);
    EXPECT_EQ(t.sin_table[4096], 1.0);
    EXPECT_EQ(t.cos_table[8192], -1.0);
    EXPECT_NEAR(t.sin_table[2048], std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(t.sin_table[16383], -2 * 3.14159265358979 / 16384, 1e-10);
    EXPECT_EQ(t.smooth_table[8192], 0.5);
    EXPECT_NEAR(t.smooth_table[0], 0.0024726, 1e-7);
    EXPECT_NEAR(t.smooth_table[16383], 0.9975256, 1e-7); // tanh(2.99963)
    const std::int32_t steps[] = {16384, 8192, 5461, 4096, 3276, 2730, 2340, 2048, 1820, 1638};
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(t.side_step[k], steps[k - 1]) << k;
}

TEST(EngineUnits, ChanceValues) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {0, 7600}, {-3, 7600}, {1, 100}, {2, 85}, {10, 50}, {30, 26}, {40, 20}, {98, 0}, {100, 0}};
    for (auto [m, chance] : cases)
        EXPECT_EQ(chance_value(m), chance) << m;
}

TEST(EngineUnits, SidePicksFollowTheCumulativeWeights) {
    TSettings_Form s;
    const Param d[] = {Param::density1, Param::density2, Param::density3, Param::density4,
                       Param::density5, Param::density6, Param::density7, Param::density8,
                       Param::density9, Param::density10};
    for (Param p : d)
        s.set_position(p, 0);
    s.set_position(Param::density2, -30);
    s.set_position(Param::density5, -70);
    s.set_position(Param::density10, -1);
    const DensityTable table = build_density_table(s);
    EXPECT_EQ(table.total, 101);
    EXPECT_EQ(table.cum[1], 0);
    EXPECT_EQ(table.cum[2], 30);
    EXPECT_EQ(table.cum[4], 30);
    EXPECT_EQ(table.cum[5], 100);
    EXPECT_EQ(table.cum[10], 101);

    // r = random(total) + 1 picks the first k with r <= cum[k].
    const std::pair<std::uint32_t, std::int32_t> picks[] = {
        {1, 2}, {30, 2}, {31, 5}, {100, 5}, {101, 10}};
    for (auto [r, sides] : picks) {
        next_random_returns(r - 1, 101);
        EXPECT_EQ(pick_sides(table), sides) << "r = " << r;
    }

    // Every weight 0: r is 1 and no sum reaches it.
    for (Param p : d)
        s.set_position(p, 0);
    set_random_seed(99);
    EXPECT_EQ(pick_sides(build_density_table(s)), 0);
}

TEST(EngineUnits, SidePicksCompareAsSixteenBitNumbers) {
    // Weights beyond the editor's range wrap in the 16-bit sums: w1 = 65536 sums to 0.
    TSettings_Form s;
    s.set_min(Param::density1, -70000);
    s.set_position(Param::density1, -65536);
    s.set_position(Param::density3, 0);
    s.set_position(Param::density2, -1);
    const DensityTable table = build_density_table(s);
    EXPECT_EQ(table.total, 65537);
    const std::pair<std::uint32_t, std::int32_t> picks[] = {
        {1, 2}, {2, 0}, {65535, 0}, {65536, 1}, {65537, 2}};
    for (auto [r, sides] : picks) {
        next_random_returns(r - 1, 65537);
        EXPECT_EQ(pick_sides(table), sides) << "r = " << r;
    }
}

TEST(EngineUnits, SlotSizesForEachPerspectiveSense) {
    // radius 100, magnification 100 of 256: S = 156.25; ten rings from depth 1 down to 0.
    TSettings_Form s;
    s.set_position(Param::magnification, 100);
    struct Case {
        std::int32_t perspective;
        bool in_out;
        double sizes[5]; // slots 0, 2, 5, 8, 10
    } cases[] = {
        {0, false, {156, 125, 78, 31, 0}},    {64, false, {156, 72, 14, 1, 0}}, // z^3.5
        {-64, false, {156, 156, 142, 85, 0}},                                   // 1 - (1 - z)^3.5
        {0, true, {0, 31, 78, 125, 156}},     {64, true, {0, 1, 14, 72, 156}},
    };
    const int slots[] = {0, 2, 5, 8, 10};
    for (const Case& c : cases) {
        s.set_position(Param::perspective, c.perspective);
        s.set_on(Param::in_out, c.in_out);
        const Depth depth = Depth::from(s, 10, 100);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(slot_size(depth, slots[k]), c.sizes[k])
                << "perspective " << c.perspective << " in_out " << c.in_out << " slot "
                << slots[k];
    }
}

TEST(EngineUnits, SlotSizeEdges) {
    TSettings_Form s;
    // 0.8 x 3.125 is exactly 2.5: halves go to even.
    s.set_position(Param::magnification, 2);
    EXPECT_EQ(slot_size(Depth::from(s, 10, 100), 2), 2.0);
    // A wider magnification range shrinks the rings.
    s.set_max(Param::magnification, 512);
    s.set_position(Param::magnification, 100);
    EXPECT_EQ(slot_size(Depth::from(s, 10, 100), 0), 78.0);
    s.set_position(Param::magnification, 0);
    EXPECT_EQ(slot_size(Depth::from(s, 10, 100), 0), 0.0);
    // The vanishing point at 50 of 101 steps: the innermost drawn ring is not at depth 0.
    s.set_position(Param::magnification, 256); // S = 100 x 4/512 x 256 = 200
    s.set_position(Param::vanishing, 50);
    const Depth depth = Depth::from(s, 10, 100);
    EXPECT_NEAR(depth.vanishing, 50.0 / 101, 1e-15);
    EXPECT_EQ(slot_size(depth, 10), 99.0); // 200 x 50/101 = 99.01
    EXPECT_EQ(slot_size(depth, 0), 200.0);
    EXPECT_EQ(depth_power(0, 3), 0.0);
}

TEST(EngineUnits, VerticesRoundAfterAddingTheCentreOnlyForTwoOrMoreSides) {
    struct Case {
        std::int32_t sides;
        int angle; // angle units
        Point expected;
    } cases[] = {
        // Offset +0.5 with centre 1: round(1.5) = 2 for polygons, round(0.5) + 1 = 1 for points.
        {2, 0, {2, 3}},
        {1, 0, {1, 3}},
        {0, 0, {1, 3}},
        // Offset -0.5: round(0.5) = 0 against round(-0.5) + 1 = 1.
        {3, 8192, {0, 3}},
        {1, 8192, {1, 3}},
    };
    for (const Case& c : cases) {
        poly ring;
        ring.sides = c.sides;
        ring.angle = c.angle << 16;
        ring.size = 1;
        ring.aspect_x = 0.5;
        ring.aspect_y = 1;
        ring.x = 1;
        ring.y = 3;
        make_vertices(ring);
        EXPECT_EQ(ring.points[0].x, c.expected.x) << c.sides << " sides, angle " << c.angle;
        EXPECT_EQ(ring.points[0].y, c.expected.y) << c.sides << " sides, angle " << c.angle;
    }

    poly square;
    square.sides = 4;
    square.size = 10;
    square.x = 50;
    square.y = 50;
    square.angle = to_fixed(-16384); // whole turns do not matter
    make_vertices(square);
    const Point expected[] = {{60, 50}, {50, 60}, {40, 50}, {50, 40}, {60, 50}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(square.points[k].x, expected[k].x) << k;
        EXPECT_EQ(square.points[k].y, expected[k].y) << k;
    }
}

TEST(EngineUnits, FrameInterval) {
    struct Case {
        bool fix;
        std::int32_t fps, interval;
    } cases[] = {{false, 1, 1},  {false, 200, 1}, {true, 1, 1000}, {true, 7, 142},  {true, 25, 40},
                 {true, 30, 33}, {true, 200, 5},  {true, 0, 1000}, {true, -5, 1000}};
    for (const Case& c : cases)
        EXPECT_EQ(frame_interval_ms(c.fix, c.fps), c.interval) << c.fix << " " << c.fps;
}
