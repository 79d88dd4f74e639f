// The indexed surface's lines against GDI's own 1-pixel cosmetic pen: the emulated display must
// light the same pixels as a palettised one.
#include "dib_surface.h"
#include "engine/indexed_surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace nimbrel;

namespace {

// A surface with a white 1-pixel cosmetic pen selected.
class GdiCanvas : public DibSurface {
  public:
    GdiCanvas(int width, int height)
        : DibSurface(width, height), pen_(CreatePen(PS_SOLID, 1, RGB(255, 255, 255))),
          old_pen_(SelectObject(dc(), pen_)) {}
    ~GdiCanvas() {
        SelectObject(dc(), old_pen_);
        DeleteObject(pen_);
    }
    void line(Point a, Point b) {
        PatBlt(dc(), 0, 0, width, height, BLACKNESS);
        MoveToEx(dc(), a.x, a.y, nullptr);
        LineTo(dc(), b.x, b.y);
        GdiFlush();
    }
    bool lit(int x, int y) const { return pixel(x, y) != 0; }

  private:
    HPEN pen_;
    HGDIOBJ old_pen_;
};

// Draws the segment both ways; reports the first differing pixel of the first ten that differ.
void compare(GdiCanvas& gdi, Point a, Point b, int& failures) {
    gdi.line(a, b);
    IndexedSurface surface(gdi.width, gdi.height);
    surface.line(a, b, 1);
    for (int y = 0; y < gdi.height; ++y)
        for (int x = 0; x < gdi.width; ++x)
            if (gdi.lit(x, y) != (surface.at(x, y) != 0)) {
                if (++failures <= 10)
                    ADD_FAILURE() << "(" << a.x << "," << a.y << ") -> (" << b.x << "," << b.y
                                  << ") differs at " << x << "," << y
                                  << (gdi.lit(x, y) ? ": GDI lights it" : ": GDI leaves it");
                return;
            }
}

} // namespace

TEST(LinesAgainstGdi, EverySmallSegment) {
    GdiCanvas gdi(20, 20);
    ASSERT_TRUE(gdi.ready());
    int failures = 0;
    for (int x0 = -5; x0 <= 5; ++x0)
        for (int y0 = -5; y0 <= 5; ++y0)
            for (int x1 = -5; x1 <= 5; ++x1)
                for (int y1 = -5; y1 <= 5; ++y1)
                    compare(gdi, {x0 + 10, y0 + 10}, {x1 + 10, y1 + 10}, failures);
    EXPECT_EQ(failures, 0);
}

TEST(LinesAgainstGdi, ClippedSegments) {
    GdiCanvas gdi(64, 48);
    ASSERT_TRUE(gdi.ready());
    std::mt19937 rng(7);
    // (windows.h takes the words near and far.)
    std::uniform_int_distribution<int> far_coord(-100000, 100000), near_coord(-80, 140);
    int failures = 0;
    for (int i = 0; i < 3000; ++i) {
        const Point a{far_coord(rng), far_coord(rng)};
        const Point b =
            i % 3 ? Point{near_coord(rng), near_coord(rng)} : Point{far_coord(rng), far_coord(rng)};
        const Point c{near_coord(rng), near_coord(rng)}, d{near_coord(rng), near_coord(rng)};
        compare(gdi, a, b, failures);
        compare(gdi, c, d, failures);
    }
    EXPECT_EQ(failures, 0);
}
