// Numeric rules of the engine: fixed point, rounding, chance values, side picks, slot sizes,
// vertices and the frame interval.
#include "engine/fixed_point.h"
#include "engine/nimbrel.h"
#include "engine/projection.h"
#include "engine/sides.h"
#include "engine/speed.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using namespace nimbrel;

namespace {

// Makes the next random(n) return r, by inverting the generator's step.
void next_random_returns(std::uint32_t r, std::uint32_t n) {
    const auto next = static_cast<std::uint32_t>(((std::uint64_t{r} << 32) + n - 1) / n);
    const std::uint32_t a = 134775813u;
    std::uint32_t inverse = a; // Newton's iteration for a^-1 modulo 2^32
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - a * inverse;
    set_random_seed((next - 1u) * inverse);
}

} // namespace

TEST(EngineUnits, FixedPointParts) {
    struct Case {
        std::int32_t value, integer;
        int angle;
    } cases[] = {
        {0, 0, 0},
        {blank_colour, -10, 16374},
        {-1, -1, 16383}, // just below zero: integer part -1, angle wraps to the top
        {16384 << 16, 16384, 0},
        {20000 << 16, 20000, 20000 - 16384},
        {INT32_MIN, -32768, 0},
        {0x7fffffff, 32767, 16383},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fixed_int(c.value), c.integer) << c.value;
        EXPECT_EQ(angle_index(c.value), c.angle) << c.value;
    }
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

TEST(EngineUnits, ChanceValues) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 7600}, {-3, 7600}, {1, 100}, {2, 85},
                                                           {30, 26},  {98, 0},    {100, 0}};
    for (auto [m, chance] : cases)
        EXPECT_EQ(chance_value(m), chance) << m;
}

TEST(EngineUnits, SidePicksCompareTheDrawAgainstSixteenBitSums) {
    // r = random(total) + 1 picks the first k with r <= cum[k]. Weights beyond the editor's range
    // wrap in the 16-bit sums (65536 sums to 0); with every weight 0 no sum is reached.
    const struct {
        std::array<std::int32_t, 10> weights;
        std::vector<std::pair<std::uint32_t, std::int32_t>> picks; // r, sides
    } cases[] = {
        {{0, 30, 0, 0, 70, 0, 0, 0, 0, 1}, {{1, 2}, {30, 2}, {31, 5}, {100, 5}, {101, 10}}},
        {{65536, 1}, {{1, 2}, {2, 0}, {65535, 0}, {65536, 1}, {65537, 2}}},
        {{}, {{1, 0}}},
    };
    for (const auto& c : cases) {
        TSettings_Form s;
        std::int32_t total = 0;
        for (int k = 0; k < 10; ++k) {
            const auto p = static_cast<Param>(static_cast<int>(Param::density1) + k);
            s.set_min(p, -70000);
            s.set_position(p, -c.weights[k]);
            total += c.weights[k];
        }
        const DensityTable table = build_density_table(s);
        EXPECT_EQ(table.total, total);
        for (auto [r, sides] : c.picks) {
            next_random_returns(r - 1, std::max(total, 1));
            EXPECT_EQ(pick_sides(table), sides) << "total " << total << ", r = " << r;
        }
    }
}

TEST(EngineUnits, SlotSizes) {
    // Radius 100 and ten rings from depth 1 down to the vanishing point (or up, in_out).
    struct Case {
        std::int32_t magnification_max, magnification, perspective;
        bool in_out;
        std::int32_t vanishing;
        double sizes[5]; // slots 0, 2, 5, 8, 10
    } cases[] = {
        {256, 100, 0, false, 0, {156, 125, 78, 31, 0}},
        {256, 100, 64, false, 0, {156, 72, 14, 1, 0}},     // z^3.5
        {256, 100, -64, false, 0, {156, 156, 142, 85, 0}}, // 1 - (1 - z)^3.5
        {256, 100, 0, true, 0, {0, 31, 78, 125, 156}},
        {256, 100, 64, true, 0, {0, 1, 14, 72, 156}},
        {256, 2, 0, false, 0, {3, 2, 2, 1, 0}},             // slot 2 is 0.8 x 3.125 = 2.5: even
        {512, 100, 0, false, 0, {78, 62, 39, 16, 0}},       // a wider range shrinks the rings
        {512, 256, 0, false, 50, {200, 180, 150, 119, 99}}, // vanishing point at 50 of 101
    };
    const int slots[] = {0, 2, 5, 8, 10};
    for (const Case& c : cases) {
        TSettings_Form s;
        s.set_max(Param::magnification, c.magnification_max);
        s.set_position(Param::magnification, c.magnification);
        s.set_position(Param::perspective, c.perspective);
        s.set_on(Param::in_out, c.in_out);
        s.set_position(Param::vanishing, c.vanishing);
        const Depth depth = Depth::from(s, 10, 100);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(slot_size(depth, slots[k]), c.sizes[k])
                << "row " << &c - cases << ", slot " << slots[k];
    }
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
        // colour, spin, centre 1,3, sides, changed, aspect 0.5 x 1, size 1, angle
        poly ring{0, 0, 1, 3, c.sides, 0, 0.5, 1, 1, c.angle << 16};
        make_vertices(ring);
        EXPECT_EQ(std::pair(ring.points[0].x, ring.points[0].y),
                  std::pair(c.expected.x, c.expected.y))
            << c.sides << " sides, angle " << c.angle;
    }
}

TEST(EngineUnits, FramePacing) {
    const Display_timing unknown{0, false}, hz75{75, false}, composed{144, true};
    struct Case {
        bool fix;
        std::int32_t fps;
        Display_timing display;
        std::uint32_t interval, period;
        bool compositor;
    } cases[] = {
        {true, 1, composed, 1000, 1000000, false},
        {true, 7, unknown, 142, 142857, false},
        {true, 60, unknown, 16, 16666, false},
        {true, 200, unknown, 5, 5000, false},
        {true, 0, unknown, 1000, 1000000, false},
        {true, -5, unknown, 1000, 1000000, false},
        {true, 1000, unknown, 1, 1000, false},
        {true, 1001, unknown, 1, 1000, false},
        {true, 50000, composed, 1, 1000, false},
        // As fast as possible: one frame per refresh, 60 Hz when the system does not say.
        {false, 200, unknown, 16, 16666, false},
        {false, 5, {1, false}, 16, 16666, false},
        {false, 200, hz75, 13, 13333, false},
        {false, 200, composed, 6, 6944, true},
    };
    for (const Case& c : cases) {
        const Frame_pacing p = frame_pacing(c.fix, c.fps, c.display);
        EXPECT_EQ(p.interval_ms, c.interval) << c.fix << " " << c.fps;
        EXPECT_EQ(p.period_us, c.period) << c.fix << " " << c.fps;
        EXPECT_EQ(p.wait_for_compositor, c.compositor) << c.fix << " " << c.fps;
    }
}
