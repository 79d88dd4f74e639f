// Line drawing, clipping, the indexed surface, the software palette and the 32-bit view.
#include "engine/bgra_frame.h"
#include "engine/indexed_surface.h"
#include "engine/line_raster.h"
#include "engine/software_palette.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <random>
#include <utility>
#include <vector>

using namespace nimbrel;

namespace {

using Pixels = std::vector<std::pair<int, int>>;

// Pixels a segment lights, in drawing order, on a surface of the given size.
Pixels traced(Point a, Point b, int width = 1 << 30, int height = 1 << 30) {
    Pixels out;
    walk_run(clip_segment(a, b, width, height), [&](int x, int y) { out.emplace_back(x, y); });
    return out;
}

Pixels lit(const IndexedSurface& s) {
    Pixels out;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.at(x, y) != 0) out.emplace_back(x, y);
    return out;
}

// The visible pixels of any segment, from the nearest-pixel rule directly: per major
// coordinate, the minor coordinate nearest the true line, the smaller one on a tie.
Pixels nearest_pixels(Point a, Point b, int width, int height) {
    const __int128 dx = 0LL + b.x - a.x, dy = 0LL + b.y - a.y;
    const __int128 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool x_major = adx > ady;
    const __int128 d_major = x_major ? dx : dy, d_minor = x_major ? dy : dx;
    const __int128 m0 = x_major ? a.x : a.y, n0 = x_major ? a.y : a.x;
    const int major_limit = x_major ? width : height, minor_limit = x_major ? height : width;
    Pixels out;
    if (d_major == 0) return out;
    const int sign = d_major > 0 ? 1 : -1;
    // Window columns in drawing order.
    for (int i = 0; i < major_limit; ++i) {
        const int m = sign > 0 ? i : major_limit - 1 - i;
        const __int128 k = (m - m0) * sign; // steps from the start
        if (k < 0 || k >= d_major * sign) continue;
        // minor = n0 + k*d_minor/|d_major|, rounded to nearest with halves down:
        // ceil((2*k*d_minor - L) / (2L)) + n0
        const __int128 L = d_major * sign, num = 2 * k * d_minor - L, den = 2 * L;
        __int128 q = num / den;
        if (num % den != 0 && num > 0) ++q; // ceiling
        const __int128 n = n0 + q;
        if (n < 0 || n >= minor_limit) continue;
        out.emplace_back(x_major ? m : static_cast<int>(n), x_major ? static_cast<int>(n) : m);
    }
    return out;
}

} // namespace

TEST(LineRaster, AgreesWithTheNearestPixelRuleOnEverySmallSegment) {
    for (int x0 = -6; x0 <= 6; ++x0)
        for (int y0 = -6; y0 <= 6; ++y0)
            for (int x1 = -6; x1 <= 6; ++x1)
                for (int y1 = -6; y1 <= 6; ++y1) {
                    const Point a{x0 + 10, y0 + 10}, b{x1 + 10, y1 + 10};
                    ASSERT_EQ(traced(a, b, 30, 30), nearest_pixels(a, b, 30, 30))
                        << x0 << "," << y0 << " " << x1 << "," << y1;
                }
}

TEST(LineRaster, ClippedSegmentsLightTheVisiblePixelsOfTheWholeOneAtAnyCoordinates) {
    std::vector<std::pair<Point, Point>> segments = {
        {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}},
        {{INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}},
        {{INT_MIN, 5}, {INT_MAX, 7}},
        {{INT_MAX, 40}, {INT_MIN, 3}},
        {{3, INT_MIN}, {3, INT_MAX}},
        {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}},
        {{-1000000000, 300000000}, {1000000000, -200000000}},
        {{32, 24}, {32 + 1000000 - 809017, 24 + 587785}}, // edges of a 10-gon of radius 10^6
        {{32 + 1000000 - 809017, 24 - 587785}, {32, 24}},
        {{INT_MIN, INT_MIN}, {INT_MIN, INT_MIN}},
    };
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX), far(-3000, 3000), near(-100, 160);
    for (int i = 0; i < 30000; ++i) {
        // Far-away end points whose line may still cross the window, and short ones around it.
        auto& d = i % 3 == 2 ? near : any;
        auto& e = i % 3 == 0 ? any : i % 3 == 1 ? far : near;
        segments.push_back({{d(rng), d(rng)}, {e(rng), e(rng)}});
    }
    const auto start = std::chrono::steady_clock::now();
    long long visible = 0;
    for (const auto& [a, b] : segments) {
        const Pixels got = traced(a, b, 64, 48);
        ASSERT_EQ(got, nearest_pixels(a, b, 64, 48))
            << a.x << "," << a.y << " -> " << b.x << "," << b.y;
        visible += static_cast<long long>(got.size());
    }
    EXPECT_GT(visible, 0);
    // Only the visible part is walked, however far away the end points lie.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(Polyline, ClosedOutlineLightsEveryPixelOnce) {
    const std::vector<std::vector<Point>> outlines = {
        {{1, 1}, {5, 1}, {5, 5}, {1, 5}, {1, 1}},
        {{2, 9}, {10, 1}, {13, 12}, {2, 9}},
        {{15, 8}, {13, 12}, {8, 15}, {3, 12}, {1, 8}, {3, 4}, {8, 1}, {13, 4}, {15, 8}},
    };
    for (const auto& points : outlines) {
        std::map<std::pair<int, int>, int> times;
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            for (const auto& p : traced(points[i], points[i + 1], 16, 16))
                ++times[p];
        IndexedSurface s(16, 16);
        s.polyline(points.data(), static_cast<int>(points.size()), 4);
        for (const auto& [p, n] : times) {
            EXPECT_EQ(n, 1) << p.first << "," << p.second;
            EXPECT_EQ(s.at(p.first, p.second), 4);
        }
        for (const Point& p : points)
            EXPECT_EQ(times.count({p.x, p.y}), 1u) << p.x << "," << p.y;
        EXPECT_EQ(lit(s).size(), times.size());
    }
}

TEST(Polyline, DegenerateInputDrawsNothing) {
    const Point same[] = {{3, 3}, {3, 3}, {3, 3}, {3, 3}};
    IndexedSurface s(8, 8);
    s.polyline(same, 4, 5); // a ring of size 0: every segment is a single point
    s.polyline(same, 1, 5);
    s.polyline(same, 0, 5);
    s.polyline(same, -3, 5);
    s.polyline(nullptr, 4, 5);
    EXPECT_TRUE(lit(s).empty());
}

TEST(IndexedSurface, PixelsOutsideAreIgnored) {
    IndexedSurface s(4, 3);
    for (const Point p :
         {Point{0, 0}, {3, 2}, {4, 0}, {0, 3}, {-1, 1}, {1, -1}, {INT_MIN, INT_MAX}})
        s.pixel(p.x, p.y, 200);
    EXPECT_EQ(lit(s), (Pixels{{0, 0}, {3, 2}}));
    EXPECT_EQ(s.at(3, 2), 200);
    s.fill_black();
    EXPECT_TRUE(lit(s).empty());
}

TEST(SoftwarePalette, BehavesLikeAnAnimatedLogicalPalette) {
    SoftwarePalette palette;
    PaletteEntries entries{};
    entries.fill({1, 2, 3, 4});
    palette.system_entries(entries); // the static colours land in their 20 places only
    for (int i : {9, 246})
        EXPECT_EQ(entries[i], standard_system_entries()[i]);
    EXPECT_EQ(entries[10], (PaletteEntry{1, 2, 3, 4}));
    EXPECT_EQ(entries[245], (PaletteEntry{1, 2, 3, 4}));

    for (int i = 10; i < 20; ++i)
        entries[i] = {static_cast<std::uint8_t>(i), 0, 0, PC_RESERVED};
    EXPECT_FALSE(palette.release()); // nothing created yet
    EXPECT_TRUE(palette.create(entries));

    // Only reserved entries animate; ranges beyond 0-255 are cut off.
    const PaletteEntry green{0, 9, 0, PC_RESERVED};
    const PaletteEntry greens[4] = {green, green, green, green};
    palette.animate(8, 4, greens);
    for (int i = 8; i < 13; ++i)
        EXPECT_EQ(palette.entries()[i], i == 10 || i == 11 ? green : entries[i]) << i;
    palette.animate(254, 4, greens);
    palette.animate(INT_MIN, -1, greens);
    palette.animate(INT_MAX, INT_MAX, greens);

    PaletteEntry out[3] = {{7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}};
    palette.read(254, 3, out);
    EXPECT_EQ(out[1], entries[255]);
    EXPECT_EQ(out[2], (PaletteEntry{7, 7, 7, 7}));
    palette.read(INT_MIN, -1, out);

    // Releasing keeps the colours on show, once.
    EXPECT_TRUE(palette.release());
    EXPECT_FALSE(palette.release());
    EXPECT_EQ(palette.entries()[10], green);
}

TEST(BgraFrame, IndicesShowThroughThePalette) {
    PaletteEntries palette{};
    palette[1] = {0x11, 0x22, 0x33, PC_RESERVED};
    palette[255] = {0xFF, 0x80, 0x01, 0};
    IndexedSurface s(2, 2);
    s.pixel(1, 0, 1);
    s.pixel(0, 1, 255);
    const std::vector<std::uint32_t> pixels = to_bgra32(s, palette);
    // Bytes in memory: blue, green, red, 0; rows top down.
    const std::uint8_t expected[16] = {0,    0,    0,    0, 0x33, 0x22, 0x11, 0,
                                       0x01, 0x80, 0xFF, 0, 0,    0,    0,    0};
    ASSERT_EQ(pixels.size(), 4u);
    EXPECT_EQ(0, std::memcmp(pixels.data(), expected, sizeof expected));
}
