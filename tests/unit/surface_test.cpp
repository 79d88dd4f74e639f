#include "engine/bgra_frame.h"
#include "engine/indexed_surface.h"
#include "engine/line_raster.h"
#include "engine/software_palette.h"
#include "engine/static_colours.h"

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

// Bresenham written the textbook way, octant by octant: octants are numbered 1-8 going round
// from +x towards +y, and octants 3, 5, 6 and 8 step the minor axis on a tie.
Pixels octant_bresenham(Point a, Point b) {
    const long long dx = 0LL + b.x - a.x, dy = 0LL + b.y - a.y;
    int octant;
    if (dy > 0)
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    const int bias = (0xb4 >> (octant - 1)) & 1;
    const bool x_major = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const long long major = x_major ? adx : ady, minor = x_major ? ady : adx;
    long long err = 2 * minor - major;
    long long x = a.x, y = a.y;
    Pixels out;
    for (long long n = major; n > 0; --n) {
        out.emplace_back(static_cast<int>(x), static_cast<int>(y));
        const bool step = err + bias > 0;
        err += step ? 2 * minor - 2 * major : 2 * minor;
        if (x_major) {
            x += dx > 0 ? 1 : -1;
            if (step) y += dy > 0 ? 1 : -1;
        } else {
            y += dy > 0 ? 1 : -1;
            if (step) x += dx > 0 ? 1 : -1;
        }
    }
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

TEST(LineRaster, HandCheckedSegments) {
    struct Case {
        Point from, to;
        Pixels expected;
    };
    // y grows downwards; ties go to the smaller coordinate whichever way the segment runs.
    const Case cases[] = {
        {{0, 0}, {3, 0}, {{0, 0}, {1, 0}, {2, 0}}},
        {{3, 0}, {0, 0}, {{3, 0}, {2, 0}, {1, 0}}},
        {{0, 0}, {0, 3}, {{0, 0}, {0, 1}, {0, 2}}},
        {{0, 3}, {0, 0}, {{0, 3}, {0, 2}, {0, 1}}},
        {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {{3, 3}, {0, 0}, {{3, 3}, {2, 2}, {1, 1}}},
        {{0, 3}, {3, 0}, {{0, 3}, {1, 2}, {2, 1}}},
        {{3, 0}, {0, 3}, {{3, 0}, {2, 1}, {1, 2}}},
        {{0, 0}, {1, 0}, {{0, 0}}},
        {{2, 2}, {2, 2}, {}},
        // Shallow, no ties: y = 0.4x.
        {{0, 0}, {5, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {{5, 2}, {0, 0}, {{5, 2}, {4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        // Ties in all four x-major octants (y = +-x/2): the upper pixel wins.
        {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {{0, 0}, {-4, 2}, {{0, 0}, {-1, 0}, {-2, 1}, {-3, 1}}},
        {{0, 0}, {4, -2}, {{0, 0}, {1, -1}, {2, -1}, {3, -2}}},
        {{0, 0}, {-4, -2}, {{0, 0}, {-1, -1}, {-2, -1}, {-3, -2}}},
        {{2, 1}, {0, 0}, {{2, 1}, {1, 0}}},
        {{2, 0}, {0, 1}, {{2, 0}, {1, 0}}},
        // Ties in all four y-major octants (x = +-y/2): the left pixel wins.
        {{0, 0}, {2, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {{0, 0}, {-2, 4}, {{0, 0}, {-1, 1}, {-1, 2}, {-2, 3}}},
        {{0, 0}, {2, -4}, {{0, 0}, {0, -1}, {1, -2}, {1, -3}}},
        {{0, 0}, {-2, -4}, {{0, 0}, {-1, -1}, {-1, -2}, {-2, -3}}},
        {{1, 2}, {0, 0}, {{1, 2}, {0, 1}}},
        {{0, 2}, {1, 0}, {{0, 2}, {0, 1}}},
    };
    for (const Case& c : cases) {
        // Shifted so that every pixel lands on a small surface.
        const Point from{c.from.x + 5, c.from.y + 5}, to{c.to.x + 5, c.to.y + 5};
        Pixels expected;
        for (auto [x, y] : c.expected)
            expected.emplace_back(x + 5, y + 5);
        EXPECT_EQ(traced(from, to, 12, 12), expected)
            << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;

        IndexedSurface s(12, 12);
        s.line(from, to, 7);
        std::sort(expected.begin(), expected.end(), [](auto p, auto q) {
            return std::make_pair(p.second, p.first) < std::make_pair(q.second, q.first);
        });
        EXPECT_EQ(lit(s), expected);
    }
}

TEST(LineRaster, AgreesWithOctantBresenhamAndNearestPixelOnEverySmallSegment) {
    // Three formulations of the same rule must light the same pixels in the same order.
    for (int x0 = -6; x0 <= 6; ++x0)
        for (int y0 = -6; y0 <= 6; ++y0)
            for (int x1 = -6; x1 <= 6; ++x1)
                for (int y1 = -6; y1 <= 6; ++y1) {
                    const Point a{x0 + 10, y0 + 10}, b{x1 + 10, y1 + 10};
                    const Pixels got = traced(a, b, 30, 30);
                    ASSERT_EQ(got, octant_bresenham(a, b))
                        << x0 << "," << y0 << " " << x1 << "," << y1;
                    ASSERT_EQ(got, nearest_pixels(a, b, 30, 30));
                }
}

TEST(LineRaster, ClippedSegmentLightsTheVisiblePixelsOfTheWholeOne) {
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> coord(0, 255), size(1, 60);
    for (int i = 0; i < 3000; ++i) {
        const Point a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)};
        IndexedSurface whole(256, 256);
        whole.line(a, b, 9);
        // A window onto the whole surface: the same segment, shifted.
        const int w = size(rng), h = size(rng);
        const int left = std::uniform_int_distribution<int>(0, 256 - w)(rng);
        const int top = std::uniform_int_distribution<int>(0, 256 - h)(rng);
        IndexedSurface window(w, h);
        window.line({a.x - left, a.y - top}, {b.x - left, b.y - top}, 9);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(window.at(x, y), whole.at(x + left, y + top))
                    << a.x << "," << a.y << " -> " << b.x << "," << b.y << " window " << left << ","
                    << top << " " << w << "x" << h;
    }
}

TEST(LineRaster, HugeSegmentsCostOnlyTheirVisiblePart) {
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
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX), near(-3000, 3000);
    for (int i = 0; i < 20000; ++i) {
        // Mostly far-away end points whose line may still cross the window.
        const Point a{any(rng), any(rng)};
        const Point b{i % 2 ? near(rng) : any(rng), i % 2 ? near(rng) : any(rng)};
        segments.emplace_back(a, b);
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
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    IndexedSurface s(64, 48);
    s.line({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, 3);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(s.at(i, i), 3) << i;
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

TEST(IndexedSurface, PixelsAndFill) {
    IndexedSurface s(4, 3);
    const std::pair<Point, bool> writes[] = {
        {{0, 0}, true},
        {{3, 2}, true},
        {{4, 0}, false},
        {{0, 3}, false},
        {{-1, 1}, false},
        {{1, -1}, false},
        {{INT_MIN, INT_MAX}, false},
    };
    for (const auto& [p, inside] : writes) {
        s.pixel(p.x, p.y, 200);
        if (inside) {
            EXPECT_EQ(s.at(p.x, p.y), 200);
        }
    }
    EXPECT_EQ(lit(s), (Pixels{{0, 0}, {3, 2}}));
    s.fill_black();
    EXPECT_TRUE(lit(s).empty());

    IndexedSurface empty(-5, 10);
    EXPECT_EQ(empty.width(), 0);
    empty.line({0, 0}, {5, 5}, 1);
    empty.pixel(0, 0, 1);
    empty.fill_black();
}

TEST(SoftwarePalette, BehavesLikeAnAnimatedLogicalPalette) {
    SoftwarePalette palette;
    PaletteEntries system{};
    system.fill({1, 2, 3, 4});
    palette.system_entries(system);
    // The static colours land in their 20 places; the rest is untouched.
    EXPECT_EQ(system[0], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(system[7], (PaletteEntry{192, 192, 192, 0}));
    EXPECT_EQ(system[8], (PaletteEntry{192, 220, 192, 0}));
    EXPECT_EQ(system[9], (PaletteEntry{166, 202, 240, 0}));
    EXPECT_EQ(system[246], (PaletteEntry{255, 251, 240, 0}));
    EXPECT_EQ(system[247], (PaletteEntry{160, 160, 164, 0}));
    EXPECT_EQ(system[255], (PaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(system[10], (PaletteEntry{1, 2, 3, 4}));
    EXPECT_EQ(system[245], (PaletteEntry{1, 2, 3, 4}));
    EXPECT_EQ(palette.entries()[249], (PaletteEntry{255, 0, 0, 0})); // before any create

    PaletteEntries entries = system;
    for (int i = 10; i < 20; ++i)
        entries[i] = {static_cast<std::uint8_t>(i), 0, 0, PC_RESERVED};
    EXPECT_TRUE(palette.create(entries));

    // Only reserved entries animate; ranges beyond 0-255 are cut off.
    const PaletteEntry green[4] = {{0, 9, 0, PC_RESERVED},
                                   {0, 9, 0, PC_RESERVED},
                                   {0, 9, 0, PC_RESERVED},
                                   {0, 9, 0, PC_RESERVED}};
    palette.animate(8, 4, green);
    EXPECT_EQ(palette.entries()[8], entries[8]);
    EXPECT_EQ(palette.entries()[9], entries[9]);
    EXPECT_EQ(palette.entries()[10], green[2]);
    EXPECT_EQ(palette.entries()[11], green[3]);
    EXPECT_EQ(palette.entries()[12], entries[12]);
    palette.animate(-2, 4, green);
    palette.animate(254, 4, green);
    palette.animate(INT_MIN, -1, green);
    palette.animate(INT_MAX, INT_MAX, green);

    PaletteEntry out[3] = {{7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}};
    palette.read(9, 3, out);
    EXPECT_EQ(out[0], entries[9]);
    EXPECT_EQ(out[1], green[2]);
    EXPECT_EQ(out[2], green[3]);
    PaletteEntry edge[3] = {{7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}};
    palette.read(254, 3, edge);
    EXPECT_EQ(edge[1], entries[255]);
    EXPECT_EQ(edge[2], (PaletteEntry{7, 7, 7, 7}));
    palette.read(INT_MIN, -1, edge);
    palette.read(-1000, 5000, nullptr);
}

TEST(BgraFrame, IndicesShowThroughThePalette) {
    PaletteEntries palette{};
    palette[0] = {0, 0, 0, 0};
    palette[1] = {0x11, 0x22, 0x33, PC_RESERVED};
    palette[255] = {0xFF, 0x80, 0x01, 0};
    IndexedSurface s(3, 2);
    s.pixel(1, 0, 1);
    s.pixel(2, 1, 255);
    const std::vector<std::uint32_t> pixels = to_bgra32(s, palette);
    ASSERT_EQ(pixels.size(), 6u);
    // Bytes in memory: blue, green, red, 0; rows top down.
    const std::uint8_t expected[6][4] = {{0, 0, 0, 0}, {0x33, 0x22, 0x11, 0},
                                         {0, 0, 0, 0}, {0, 0, 0, 0},
                                         {0, 0, 0, 0}, {0x01, 0x80, 0xFF, 0}};
    for (int i = 0; i < 6; ++i) {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &pixels[i], 4);
        EXPECT_EQ(0, std::memcmp(bytes, expected[i], 4)) << i;
    }
}
